// resource.h - numbers of AutoRun's own texts.  They live in AutoRun.exe's
// string table and are fetched through the library, so AutoRunGUI.dll may
// carry the same numbers in more languages.  Kept clear of the numbers the
// library itself asks for (below 200).
#ifndef AUTORUN_RESOURCE_H
#define AUTORUN_RESOURCE_H

#define IDS_SETUP_TITLE        600  /* %1 product name */
#define IDS_LANGUAGE_LIST      601
#define IDS_LANGUAGE_PROMPT    602  /* %1 default number */
#define IDS_FOLDER_PROMPT      603  /* %1 default folder */
#define IDS_FOLDER_MALFORMED   604
#define IDS_FOLDER_PROTECTED   605
#define IDS_FOLDER_TOO_LONG    606
#define IDS_FOLDER_BAD_CHAR    607
#define IDS_FOLDER_BAD_DRIVE   608
#define IDS_FOLDER_NO_SPACE    609  /* %1 size needed */
#define IDS_TYPE_LIST          610
#define IDS_TYPE_PROMPT        611  /* %1 default number */
#define IDS_TYPE_MINIMUM       612
#define IDS_TYPE_SATISFACTORY  613
#define IDS_TYPE_FULL          614
#define IDS_TYPE_NOSTREAMING   615
#define IDS_CONFIRM            616  /* %1 product, %2 folder, %3 type, %4 size */
#define IDS_INSERT_DISC        617  /* %1 disc number */
#define IDS_CANCEL_QUESTION    618
#define IDS_COPYING            619
#define IDS_INSTALLED          620  /* %1 product, %2 folder */
#define IDS_CANCELLED          621
#define IDS_DISC_MISSING       622  /* %1 disc number */
#define IDS_COPY_FAILED        623
#define IDS_FAILED             624
#define IDS_PREVIOUS_INSTALL   625  /* %1 folder */
#define IDS_ANSWER_HINT        626
#define IDS_YES_LETTER         627
#define IDS_PREREQ_STATUS      640  /* %1 component, %2 installed, %3 needed, %4 on the disc */
#define IDS_PREREQ_INSTALL     641  /* %1 component, %2 version on the disc */
#define IDS_PREREQ_INSTALLED   642  /* %1 component */
#define IDS_PREREQ_FAILED      643  /* %1 component */
#define IDS_PREREQ_DECLINED    644  /* %1 component */
#define IDS_PREREQ_NOT_ON_DISC 645  /* %1 component, %2 version needed */
#define IDS_DIRECTX_LICENCE    646
#define IDS_RESTART_NEEDED     647
#define IDS_GROUP_PROMPT       650  /* %1 default group */
#define IDS_GROUP_INVALID      651  /* %1 group */
#define IDS_DESKTOP_QUESTION   652
#define IDS_ADDON_INSTALL      653  /* %1 add-on */
#define IDS_TOOLS_LICENCE      654
#define IDS_TOOLS_ACCEPT       655
#define IDS_TOOLS_DECLINED     656
#define IDS_RESTART_QUESTION   657
#define IDS_RESTART_LATER      658
#define IDS_RESTARTING         659
#define IDS_RESTART_FAILED     660
#define IDS_RESUMING           661  /* %1 product, %2 folder */
#define IDS_RESUME_NOT_FOUND   662
#define IDS_RUN_QUESTION       663  /* %1 product */
#define IDS_GAME_NOT_STARTED   664  /* %1 product */
#define IDS_DESTINATION_FULL   670  /* %1 folder */
#define IDS_ROLLING_BACK       671
#define IDS_ROLLED_BACK        672
#define IDS_BUTTON_OK          630
#define IDS_BUTTON_CANCEL      631
#define IDS_BUTTON_ABORT       632
#define IDS_BUTTON_RETRY       633
#define IDS_BUTTON_IGNORE      634
#define IDS_BUTTON_YES         635
#define IDS_BUTTON_NO          636
#define IDS_BUTTON_TRYAGAIN    637
#define IDS_BUTTON_CONTINUE    638
// The wizard's own words.
#define IDS_WIZ_NEXT           680
#define IDS_WIZ_INSTALL        681
#define IDS_WIZ_FINISH         682
#define IDS_WIZ_BROWSE         683
#define IDS_WIZ_WELCOME        684  /* %1 product */
#define IDS_WIZ_FOLDER         685  /* %1 product */
#define IDS_WIZ_SPACE          686  /* %1 needed, %2 free */
#define IDS_WIZ_GROUP          687
#define IDS_WIZ_DESKTOP        688
#define IDS_WIZ_BYTES          689  /* %1 percent, %2 copied, %3 total */
#define IDS_WIZ_TIMES          690  /* %1 elapsed, %2 remaining */
#define IDS_WIZ_START          691  /* %1 product */
#define IDS_WIZ_RESTART_NOW    692
#define IDS_WIZ_ACCEPT         693
#define IDS_WIZ_DECLINE        694
#define IDS_WIZ_PICK_FOLDER    695
#define IDS_WIZ_DISC           696  /* %1 disc number, %2 drive or folder */

#endif
