// The program's icons by resource id, drawn from the SVG images compiled into the program.
// Use on the user-interface thread (after the application object exists).
#pragma once

#include <QIcon>
#include <QString>

constexpr int IDR_MAINFRAME = 128;  // the application icon
constexpr int IDI_SAVE = 130;
constexpr int IDI_EXIT = 131;
constexpr int IDI_OPEN_FIRMWARE = 132;
constexpr int IDI_FIRMWARE_UPDATE = 133;
constexpr int IDI_SEARCH = 135;
constexpr int IDI_READ = 137;  // also the status dialog's OK button
constexpr int IDI_SEARCH_BUSY = 139;
constexpr int IDI_TEST_PRINT = 141;
constexpr int IDI_TEST_PRINT_KOREAN = 142;

// The Qt resource path of an icon id, or an empty text for an id the program does not have.
QString IconResourcePath(int resourceId);

// The icon of that id drawn at width x height (32 x 32 when 0), or a null icon for an
// unknown id.
QIcon LoadIconResource(int resourceId, int width = 0, int height = 0);
