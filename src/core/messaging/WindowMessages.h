#pragma once

// Numbers of the messages that drive the device operations. Each number has
// one handler on the main window, which branches on the step carried in
// wParam (connect) or lParam (all others).
constexpr int kWmUser = 1024;
constexpr int WM_RC_RETRIEVE = kWmUser + 3;   // 1027: configuration retrieve
constexpr int WM_RC_CONNECT = kWmUser + 4;    // 1028: device search and connection
constexpr int WM_RC_UPLOAD_CFG = kWmUser + 5; // 1029: configuration upload
constexpr int WM_RC_UPLOAD_IMG = kWmUser + 6; // 1030: image upload
constexpr int WM_RC_FW_UPGRADE = kWmUser + 7; // 1031: firmware upgrade
