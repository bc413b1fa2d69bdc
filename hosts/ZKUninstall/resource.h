// resource.h - numbers of the texts ZKUninstall shows in its windows (its own
// string tables, ZKUninstall.rc).  %1, %2 are filled in by the program.
#ifndef ZKUNINSTALL_RESOURCE_H
#define ZKUNINSTALL_RESOURCE_H

#define IDS_TITLE            100  /* %1 game */
#define IDS_UNINSTALLER      101  /* the title when no game is known */
#define IDS_QUESTION         102  /* %1 game, %2 install folder */
#define IDS_REMOVING         103  /* %1 game */
#define IDS_REMOVED          104  /* %1 game */
#define IDS_KEPT             105  /* %1 install folder */
#define IDS_NOT_FOUND        106  /* %1 folder */
#define IDS_STILL_REGISTERED 107  /* %1 game */
#define IDS_NO_HANDOFF       108
#define IDS_YES              109  /* the boxes' buttons */
#define IDS_NO               110
#define IDS_OK               111

#endif
