#include "shell/splashfrm.h"

#include <gtest/gtest.h>

using namespace corvane;

TEST(TSplashFrmTest, BorderlessOnTopWithTransparentWhite)
{
    TSplashFrm splash;
    EXPECT_EQ(splash.size(), QSize(788, 380));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);

    // The window itself is cut to the picture, for desktops that draw no translucency.
    EXPECT_FALSE(splash.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(splash.mask().contains(QPoint(394, 190)));

    const QImage& picture = splash.Picture();
    ASSERT_EQ(picture.size(), QSize(788, 380));
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0); // the white margin around the card
    // Inside the card nothing may be see-through, the lettering included.
    int holes = 0;
    for (int y = 50; y < 330; ++y)
        for (int x = 50; x < 738; ++x)
            holes += qAlpha(picture.pixel(x, y)) != 255;
    EXPECT_EQ(holes, 0);
}
