// The peer dialog's resource identifiers, shared by its program and its resource script.
#pragma once

#define IDD_PEER 100
#define IDC_PEER_FOLDER 101
#define IDC_PEER_LABEL 102
