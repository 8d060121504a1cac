// The pictures built into the programs, as Qt resources under :/pictures/
// (panneau.jpg, bouton_ya_init.jpg, bouton_yb_init.jpg, bouton_bt_init.jpg,
// intro.jpg, outil0.png ... outil6.png, kestrova.png, trevalume1.png).
// A program linking `embedded_pictures` calls InitEmbeddedPictures() once at
// start, before it reads any of them.
#pragma once

inline constexpr char EmbeddedPicturePrefix[] = ":/pictures/";

#include <QImage>

#include <string_view>

void InitEmbeddedPictures();

// The embedded JPEG picture `name` (e.g. "intro.jpg"), decoded; an empty
// picture when it is missing or unreadable.
QImage EmbeddedJpeg(std::string_view name);
