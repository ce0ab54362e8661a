// ISX_Control members of the browser's dialogs, the user's name, help and
// the About box (see control/BrowserDialogs.h). Each works while the control
// exists, whatever its ready state.

#include "control/Automation.h"
#include "control/AutomationTypes.h"
#include "control/BrowserDialogs.h"
#include "control/SX_Control.h"

using namespace control_automation;
using namespace platform;

void control::Automation::AddBrowserMembers(Builder& b) {
    b.Method(u"ChooseHTMLColor", 1100,
             [](control::Automation& self, Str src, StrOut out) -> HRESULT {
                 if (SX_Control* c = self.Control()) {
                     *out = Bstr(control::ChooseHtmlColor(c->Ui(), src.Str()));
                 }
                 return S_OK;
             },
             {u"srcColor"})
        .Method(
            u"ChooseFileName", 1101,
            [](control::Automation& self, Str title, Str filter, Bool save, StrOut out) -> HRESULT {
                if (SX_Control* c = self.Control()) {
                    *out = Bstr(control::ChooseFileName(c->Ui(), title.Str(), filter.Str(),
                                                        IsVariantTrue(save)));
                }
                return S_OK;
            },
            {u"title", u"filter", u"saveDlg"})
        .Method(u"RetrieveUserName", 1103,
                [](control::Automation& self, StrOut out) -> HRESULT {
                    if (self.Control() != nullptr) {
                        *out = Bstr(control::RetrieveUserName());
                    }
                    return S_OK;
                })
        .Method(u"ShowHelp", 1215,
                [](control::Automation& self) -> HRESULT {
                    if (SX_Control* c = self.Control()) {
                        control::ShowHelp(c->Ui(), c->Resources(), c->HelpPath());
                    }
                    return S_OK;
                })
        .Method(u"ShowAbout", 1217,
                [](control::Automation& self) -> HRESULT {
                    if (SX_Control* c = self.Control()) {
                        control::ShowAbout(*c);
                    }
                    return S_OK;
                })
        .Method(u"GetFileNameFromFileDialog", 1238, [](control::Automation& self, StrOut out) {
            if (SX_Control* c = self.Control()) {
                *out = Bstr(control::FileNameFromFileDialog(c->Ui(), c->Resources()));
            }
            return HRESULT{S_OK};
        });
}
