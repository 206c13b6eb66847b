#include "shell/splashfrm.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QScreen>

namespace corvane {

QImage DrawSplashPicture()
{
    const int w = TSplashFrm::kWidth, h = TSplashFrm::kHeight;
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);

        // The card: a dark blue-green panel with rounded corners; the white around it vanishes.
        QPainterPath card;
        card.addRoundedRect(QRectF(14, 14, w - 28, h - 28), 28, 28);
        QLinearGradient back(0, 0, w, h);
        back.setColorAt(0, QColor(18, 52, 74));
        back.setColorAt(1, QColor(22, 96, 104));
        p.fillPath(card, back);

        // Topics as overlapping translucent circles, words as dots around them.
        p.setClipPath(card);
        const struct
        {
            double x, y, r;
            QColor color;
        } topics[] = {
            {560, 150, 105, QColor(255, 170, 60, 120)},
            {650, 250, 85, QColor(90, 200, 160, 120)},
            {500, 270, 70, QColor(235, 90, 110, 120)},
            {700, 110, 55, QColor(140, 160, 255, 120)},
        };
        for (const auto& t : topics) {
            QRadialGradient g(t.x, t.y, t.r);
            g.setColorAt(0, t.color.lighter(130));
            g.setColorAt(1, t.color);
            p.setBrush(g);
            p.setPen(QPen(QColor(255, 255, 255, 90), 2));
            p.drawEllipse(QPointF(t.x, t.y), t.r, t.r);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 200));
        for (int i = 0; i < 60; ++i) {
            const double x = 430 + (i * 97) % 330;
            const double y = 50 + (i * 53) % 280;
            p.drawEllipse(QPointF(x, y), 2.0 + i % 3, 2.0 + i % 3);
        }
        p.setClipping(false);

        // The name and what the program is, in an off-white: pure white would turn see-through.
        p.setPen(QColor(250, 250, 246));
        QFont title(QStringLiteral("DejaVu Sans"), 54, QFont::Bold);
        p.setFont(title);
        p.drawText(QRect(56, 70, 420, 90), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Corvane"));
        QFont sub(QStringLiteral("DejaVu Sans"), 22);
        p.setFont(sub);
        p.setPen(QColor(200, 230, 235));
        p.drawText(QRect(60, 165, 420, 40), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Sentiment analysis"));
        QFont small(QStringLiteral("DejaVu Sans"), 12);
        p.setFont(small);
        p.setPen(QColor(170, 200, 210));
        p.drawText(QRect(62, 290, 420, 30), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("ver. 81 (64 bit)"));
    }
    const QRgb white = qRgb(255, 255, 255);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            if (line[x] == white)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return image;
}

TSplashFrm::TSplashFrm()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_Picture(DrawSplashPicture())
{
    setAttribute(Qt::WA_TranslucentBackground);
    // Without a compositing window manager translucency is not drawn; the mask still cuts the
    // transparent pixels out of the window.
    setMask(QBitmap::fromImage(m_Picture.createAlphaMask()));
    setFixedSize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TSplashFrm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, m_Picture);
}

} // namespace corvane
