// console_face.h - the installation's questions as console prompts: each
// shows its suggestion in brackets (Enter takes it), message boxes list their
// buttons by number, and Ctrl+C asks whether to cancel.
#ifndef AUTORUN_CONSOLE_FACE_H
#define AUTORUN_CONSOLE_FACE_H

#include "console.h"
#include "face.h"

namespace autorun {

class ConsoleFace : public Face {
  public:
    // Ctrl+C becomes a question from now on.
    void catchInterrupts() { m_console.catchInterrupts(); }

    void begin(const std::string& product, const std::string& heading) override;
    void say(const std::string& text) override { m_console.print(text); }
    void error(const std::string& text) override { m_console.error(text); }
    Reply chooseLanguage(const std::vector<LanguageEntry>& offered, int& choice,
                         bool settled) override;
    Reply chooseType(const std::vector<TypeEntry>& types, int& type,
                     const std::string& folder) override;
    Reply chooseFolder(std::string& folder, const Checker& checker) override;
    Reply chooseGroup(std::string& group, const Checker& checker) override;
    Reply askYesNo(Question kind, const std::string& question, bool& yes) override;
    void showLicence(const std::string& heading, const std::string& text) override;
    int askMessage(const std::string& text, const std::string& caption, unsigned style) override;
    int askDisc(int disc, const std::string& drive,
                const std::function<bool()>& arrived) override;
    void progress(const CopyState& state) override;
    void endProgress(const CopyState& state) override;
    Reply pollCancel() override;
    bool waitFor(HANDLE object, DWORD ms) override;

  private:
    // One line of input; a Ctrl+C asks whether to cancel, and the prompt
    // comes again when the answer is no.
    Reply ask(const std::string& prompt, std::string& answer);
    Reply confirmCancel();
    // Asks for a value until the checker takes it (Enter keeps `value`).
    Reply askChecked(int promptId, std::string& value, const Checker& checker);
    std::vector<std::string> buttonNames(unsigned style);

    Console m_console;
    std::string m_product;
};

} // namespace autorun

#endif
