// Resource ids shared by the resource scripts and the setup program.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_SETUP 129

#define IDC_FOLDER 1000
#define IDC_PROGRESS 1001
#define IDC_LABEL 1002
