#pragma once
// The page's answers to the control's "Hotlink Properties" dialogs, as a
// function on `host`:
//   host.answerHotlinkDialog({id, label, category, link})
//                                  the fields typed into the next dialog
//                                  (missing ones empty) and OK; null
//                                  cancels it. A dialog with none queued
//                                  is cancelled; an OK the control refuses
//                                  takes the next queued answer.

class ScriptedHostUi;
namespace scripthost {
class ScriptHost;
}

bool AddPageHotlinks(scripthost::ScriptHost& host, ScriptedHostUi& ui);
