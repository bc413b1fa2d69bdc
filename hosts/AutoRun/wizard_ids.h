// wizard_ids.h - the wizard's window classes and control numbers, shared with
// the test program that drives it.
#ifndef AUTORUN_WIZARD_IDS_H
#define AUTORUN_WIZARD_IDS_H

#define ZK_WIZARD_CLASS "ZKAutoRunWizard"
#define ZK_ASK_CLASS "ZKAutoRunAsk"

namespace autorun {

// IDOK is a page's forward button, IDCANCEL its Cancel; an ask box's buttons
// are IdAskButton plus their Btn* value.  A disc request's text is IdDiscText:
// that box closes by itself once the disc is found.
enum WizardIds {
    IdNo = 10, IdHeading = 99, IdList = 100, IdEdit, IdBrowse, IdCheck, IdInfo, IdBar, IdBytes,
    IdTimes, IdFile, IdProblem, IdSpace, IdDiscText, IdRadio = 200, IdAskButton = 1000
};

} // namespace autorun

#endif
