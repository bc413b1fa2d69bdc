// texts.h - the words of ZKUninstall's windows, from its own string tables in
// the language the game was installed in; English where that language has no
// table.  The console and the log keep their English lines.
#ifndef ZKUNINSTALL_TEXTS_H
#define ZKUNINSTALL_TEXTS_H

#include <windows.h>

#include <initializer_list>
#include <string>

namespace zkuninstall {

// The table for a game's locale as the installation records it ("de",
// "fr_fr", "en_us"); an empty locale means the user's own language.
LANGID tableLanguage(const std::string& locale);

class Texts {
  public:
    explicit Texts(LANGID language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US))
        : m_language(language) {}

    // Text `id` with %1, %2, ... replaced by `args` (in the ANSI code page,
    // as the registry gave them).
    std::wstring text(UINT id, std::initializer_list<std::string> args = {}) const;

  private:
    LANGID m_language;
};

// "%1 of %2" filled in; a % before anything else than a digit naming an
// argument stays as it is.
std::wstring fillIn(const std::wstring& pattern, std::initializer_list<std::string> args);

} // namespace zkuninstall

#endif
