// Resource ids of the framework test program.
#pragma once

#define IDM_TEST_MENU 130
#define IDS_SHORT 2
#define IDS_PATTERN 3
#define IDS_LONG 4
#define ID_ITEM_FIRST 32773
#define ID_ITEM_SECOND 32774
#define ID_ITEM_REPLACED 32775
#define ID_ITEM_LAST 32772
