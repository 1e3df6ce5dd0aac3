#pragma once

#include <QPixmap>
#include <QString>

// The program's pictures, drawn at run time: toolbar images, the two
// connection pictures, the brand logo and banner.
namespace artwork {
enum class ToolImage { Families = 1, Program = 2, Test = 3, Read = 4, Groups = 5, Messages = 6, Settings = 7 };
QPixmap toolbarImage(ToolImage which);
QPixmap connectionPicture(bool connected);
QPixmap brandLogo(int size);
QPixmap brandBanner(int width, int height);
}  // namespace artwork
