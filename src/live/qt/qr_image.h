#pragma once

#include <QImage>
#include <QString>

namespace cronovolta::live {

// The QR code of `text`, `scale` pixels a module with the quiet zone around; a null image
// when the program was built without the QR library or the text does not fit.
QImage qrImage(const QString& text, int scale);

} // namespace cronovolta::live
