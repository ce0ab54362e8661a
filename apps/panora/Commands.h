#pragma once
// Sub-commands of the `panora` program. Each takes the arguments after its own
// name and returns the process exit code.

int RunMkStation(int argc, char** argv);
int RunInfo(int argc, char** argv);
// `panora run PAGE.js`: runs a page script against a control.
int RunPage(int argc, char** argv);
// `panora render STATION -o OUT.jpg`: renders one view of a station headless.
int RunRender(int argc, char** argv);
// `panora view [STATION]`: the desktop viewer (needs a display and Qt).
int RunView(int argc, char** argv);
// `panora publish INPUT... -o SITE_DIR`: stations from PTX scans and 360-degree photos.
int RunPublish(int argc, char** argv);
