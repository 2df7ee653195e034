#pragma once

#include <QRect>

namespace ferrowyn::design {

// The window as drawn, in twips (1/1440 inch). At 96 dots per inch 15 twips make one pixel; Qt scales logical
// pixels on high-DPI screens.
constexpr int kTwipsPerPixel = 15;

struct TwipRect {
    int left, top, width, height;
    QRect pixels() const {
        return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
    }
};

// "Kelditch Ferrowyn V" and the project's version, set in the build (cmake/FerrowynVersion.cmake).
constexpr const char* kTitle = FERROWYN_TITLE;
constexpr TwipRect kClientArea{0, 0, 6075, 4410};

constexpr TwipRect kObliterateButton{3840, 2880, 2175, 855};
constexpr TwipRect kDirList{1560, 0, 2175, 3465};
constexpr TwipRect kFileList{0, 0, 1575, 3795};
constexpr TwipRect kDriveList{1560, 3480, 2175, 315};
constexpr TwipRect kFileInfoLabel{3840, 0, 2175, 1695};
constexpr TwipRect kProgressLabel{3840, 2520, 2175, 255};
// It runs 45 twips past the bottom of the client area, which clips it.
constexpr TwipRect kSupportLabel{0, 3840, 6015, 615};

constexpr const char* kObliterateCaption = "Obliterate";
constexpr const char* kObliterateTip = "Click here to Obliterate your file";
constexpr const char* kDirListTip = "Select the folder that your file is in here";
constexpr const char* kFileListTip = "Select your file here";
constexpr const char* kDriveListTip = "Select the drive that your file is in here";

} // namespace ferrowyn::design
