// Resource ids of the preview client.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_PREVIEW 140
