#include "live/qt/qr_image.h"

#ifdef CRONOVOLTA_HAVE_QRENCODE
#include <qrencode.h>

#include <QPainter>
#endif

namespace cronovolta::live {

QImage qrImage(const QString& text, int scale) {
#ifdef CRONOVOLTA_HAVE_QRENCODE
    const QByteArray bytes = text.toUtf8();
    QRcode* code = QRcode_encodeString(bytes.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!code) {
        return {};
    }
    constexpr int kQuiet = 4;
    const int size = (code->width + 2 * kQuiet) * scale;
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if (code->data[y * code->width + x] & 1) {
                painter.fillRect((x + kQuiet) * scale, (y + kQuiet) * scale, scale, scale,
                                 Qt::black);
            }
        }
    }
    QRcode_free(code);
    return image;
#else
    Q_UNUSED(text);
    Q_UNUSED(scale);
    return {};
#endif
}

} // namespace cronovolta::live
