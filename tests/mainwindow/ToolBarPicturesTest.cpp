#include "ToolBarPictures.h"

#include <QColor>
#include <gtest/gtest.h>

namespace {

struct Look {
    double saturation = 0; // mean saturation of the visible pixels, 0 to 255
    double opacity = 0;    // mean alpha of all pixels, 0 to 255
};

Look LookOf(const QImage &image)
{
    Look look;
    int visible = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            look.opacity += c.alpha();
            if (c.alpha() > 64) {
                look.saturation += c.hsvSaturation();
                ++visible;
            }
        }
    }
    look.opacity /= image.width() * image.height();
    if (visible > 0)
        look.saturation /= visible;
    return look;
}

} // namespace

// An enabled button must never look greyed and a disabled one never look
// pressable: every picture has colour while enabled, and its disabled look
// has none and is fainter.
TEST(ToolBarPictures, EnabledAndDisabledLookPlainlyDifferent)
{
    for (const char *key : {"ViewIVRVar", "NewProg", "EditProg", "DelProg", "SendProg", "RxTxProg"}) {
        const QString name = QString::fromLatin1(key);
        ASSERT_FALSE(toolbarpictures::Picture(name).isNull()) << key;
        for (const int size : {16, 24, 32}) {
            const Look enabled = LookOf(toolbarpictures::Draw(name, size, true));
            const Look disabled = LookOf(toolbarpictures::Draw(name, size, false));
            EXPECT_GT(enabled.saturation, 40) << key << " at " << size;
            EXPECT_LT(disabled.saturation, 5) << key << " at " << size;
            EXPECT_LT(disabled.opacity, enabled.opacity * 0.6) << key << " at " << size;
        }
    }
    EXPECT_TRUE(toolbarpictures::Picture(QStringLiteral("Unknown")).isNull());
}
