// The pictures of the program that the taskbar's thumbnail and Alt+Tab show. The
// taskbar shows the application's window, which has no size, so left to itself
// DWM would show an empty picture. That window asks DWM for the iconic
// representation instead, and answers DWM's requests with a picture of the main
// window: scaled to fit for the thumbnail, at full size and in its place for the
// preview.
#pragma once

#include <windows.h>

#include <functional>

namespace quenmar::win32 {

// Tells DWM that Window, the taskbar's window, gives its own pictures.
void OfferPictures(HWND window);

// Answers WM_DWMSENDICONICTHUMBNAIL and WM_DWMSENDICONICLIVEPREVIEWBITMAP sent to
// Window with pictures of Main; false for any other message.
bool AnswerPictureRequest(HWND window, HWND main, UINT message, LPARAM lParam);

// Tests see the pictures instead of DWM (Wine's DWM shows none). The picture is
// the answer's own: valid during the call only.
using PictureRecorder = std::function<void(HWND window, HBITMAP picture, bool preview)>;
void SetPictureRecorder(PictureRecorder recorder);

}  // namespace quenmar::win32
