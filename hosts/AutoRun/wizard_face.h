// wizard_face.h - the installation's questions as a wizard: one window whose
// page changes with each question (welcome and language, type, folder with
// Browse, group and desktop icon, licences and components, progress, finish),
// and the library's messages and disc requests as modal boxes it owns.  The
// copy runs on the library's thread; while it does, the window is kept alive
// by the wait between polls.
#ifndef AUTORUN_WIZARD_FACE_H
#define AUTORUN_WIZARD_FACE_H

#include "face.h"

namespace autorun {

class WizardFace : public Face {
  public:
    WizardFace();
    ~WizardFace() override;

    // Creates the window; false when no window can be shown.
    bool open();
    // The last page of a run that ended without one (cancelled, failed):
    // what was said last, and Finish.
    void close();

    void begin(const std::string& product, const std::string& heading) override;
    void say(const std::string& text) override;
    void error(const std::string& text) override;
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

    // For the window procedures.
    LRESULT handle(HWND window, UINT message, WPARAM w, LPARAM l);

    // Called with a language's index as soon as it is picked on the welcome
    // page, which then shows itself in that language.
    std::function<void(int)> languagePicked;

  private:
    // Starts a page: the heading, and the buttons (`next` empty: none but
    // Cancel).
    void startPage(const std::string& heading, const std::string& next);
    HWND add(const char* kind, const std::string& text, DWORD style, int x, int y, int w, int h,
             int id);
    // Runs the page until a button ends it: its id.  Cancel asks first and
    // ends the page only when the user confirms.
    int runPage();
    void pump();
    // A modal box owned by the wizard with the given buttons (Btn* with
    // their translated names): the button pressed.
    // With `ready`, the box also ends by itself (as its default button) once
    // ready() says so.
    int ask(const std::string& caption, const std::string& text, const std::vector<int>& buttons,
            int defaultButton, const std::function<bool()>* ready = nullptr);
    bool userConfirmsCancel();
    void showSpace(const std::string& folder);
    void showFinish(const std::string& text, const std::string& check, bool& checked);
    void labelWelcome();  // the welcome page's words, in the language picked

    HWND m_window = nullptr;
    HFONT m_font = nullptr;
    HFONT m_bold = nullptr;
    DWORD m_thread = 0;
    std::string m_product;
    std::string m_said;        // the last words shown, for the finish page
    std::string m_licenceHeading, m_licence;
    long long m_needed = 0;    // bytes of the chosen type
    std::vector<long long> m_typeBytes;  // by type, on the type page
    std::string m_spaceFolder; // whose drive's free space is shown
    const std::vector<LanguageEntry>* m_offered = nullptr;  // while the welcome page is up
    bool m_pageReady = false;  // the page's controls are all made
    bool m_desktop = true;     // chosen on the group page
    bool m_finished = false;   // the finish page was shown
    bool m_copying = false;    // the progress page is up
    volatile bool m_cancelAsked = false;
    int m_pressed = 0;
};

} // namespace autorun

#endif
