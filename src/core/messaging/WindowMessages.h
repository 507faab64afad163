#pragma once

// Numbers of the messages that drive the device operations. Each number has
// one handler on the main window, which branches on the step carried in
// wParam (connect) or lParam (all others).
constexpr int WM_USER = 1024;
constexpr int WM_RC_RETRIEVE = WM_USER + 3;   // 1027: configuration retrieve
constexpr int WM_RC_CONNECT = WM_USER + 4;    // 1028: device search and connection
constexpr int WM_RC_UPLOAD_CFG = WM_USER + 5; // 1029: configuration upload
constexpr int WM_RC_UPLOAD_IMG = WM_USER + 6; // 1030: image upload
constexpr int WM_RC_FW_UPGRADE = WM_USER + 7; // 1031: firmware upgrade
