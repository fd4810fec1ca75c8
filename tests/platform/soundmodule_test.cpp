#include "platform/services.h"

#include <QFileInfo>
#include <QLibrary>
#include <gtest/gtest.h>
#include <memory>

// The program finds the sound module beside itself and asks it for one
// function by name: a renamed symbol or a module built elsewhere would leave
// every key silent without a word.
TEST(SoundModule, SitsBesideTheProgramAndMakesASound)
{
    const QFileInfo module(QStringLiteral(TL_SOUND_MODULE));
    EXPECT_EQ(module.absolutePath(), QFileInfo(QStringLiteral(TL_PROGRAM)).absolutePath());
    QLibrary library(module.absoluteFilePath());
    using Factory = tl::ISound *(*)();
    auto create = reinterpret_cast<Factory>(library.resolve("tessaleaf_create_sound"));
    ASSERT_NE(create, nullptr) << qPrintable(library.errorString());
    std::unique_ptr<tl::ISound> sound(create());
    ASSERT_NE(sound, nullptr);
    sound->play(QStringLiteral("/nonexistent/type.wav"));  // a missing file plays nothing, quietly
}
