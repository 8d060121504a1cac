#include "EmbeddedPictures.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE must be used outside any namespace.
void InitEmbeddedPictures() {
    Q_INIT_RESOURCE(embedded_pictures);
}
