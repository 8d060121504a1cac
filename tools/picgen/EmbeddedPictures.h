// The pictures built into the programs, as Qt resources under :/pictures/
// (panneau.jpg, bouton_ya_init.jpg, bouton_yb_init.jpg, bouton_bt_init.jpg,
// intro.jpg, outil0.png ... outil6.png, kestrova.png, trevalume1.png).
// A program linking `embedded_pictures` calls InitEmbeddedPictures() once at
// start, before it reads any of them.
#pragma once

inline constexpr char EmbeddedPicturePrefix[] = ":/pictures/";

void InitEmbeddedPictures();
