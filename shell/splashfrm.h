#pragma once

#include <QImage>
#include <QWidget>

namespace corvane {

/// The start-up picture: a borderless window on top of the others, centred on the screen, whose
/// white pixels are transparent.
class TSplashFrm : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 788;
    static constexpr int kHeight = 380;

    TSplashFrm();

    /// The picture as drawn, white pixels already transparent.
    const QImage& Picture() const { return m_Picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_Picture;
};

/// Draws the splash picture on white and turns every white pixel transparent.
QImage DrawSplashPicture();

} // namespace corvane
