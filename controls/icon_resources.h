// The program's icons by resource id. Each is drawn from its SVG image in res/icons/ while
// the program is built, at ICON_IMAGE_SIZE square, and compiled in as ready pixels.
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

// The width and height at which every icon is drawn.
constexpr int ICON_IMAGE_SIZE = 32;

// The Qt resource path of an icon id, or an empty text for an id the program does not have.
QString IconResourcePath(int resourceId);

// The icon of that id at width x height (ICON_IMAGE_SIZE when 0; another size is scaled
// smoothly from the drawing), or a null icon for an unknown id.
QIcon LoadIconResource(int resourceId, int width = 0, int height = 0);
