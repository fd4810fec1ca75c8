#pragma once
// A real main window with fake services and a settings file of its own.

#include "app/TForm1.h"
#include "fakes/fakedialogs.h"
#include "support/tempenv.h"

#include <QFile>
#include <gtest/gtest.h>
#include <memory>

class FormTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir = tltest::freshFolder();
        settingsPath = dir + QStringLiteral("/config/Tessaleaf/settings.conf");
        // Recovery files one test leaves are not offered to the next.
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir + QStringLiteral("/data")));
    }

    TForm1 &makeForm()
    {
        auto fakes = tltest::makeFakeServices();
        dialogs = fakes.dialogs;
        form = std::make_unique<TForm1>(std::move(fakes.services), settingsPath);
        return *form;
    }

    TForm1 &start(QStringList args = {})
    {
        args.prepend(QStringLiteral("tessaleaf"));
        makeForm().FormCreate(args);
        return *form;
    }

    tl::SettingsStore settings() const { return tl::SettingsStore(settingsPath); }

    QString dir, settingsPath;
    tltest::FakeDialogs *dialogs = nullptr;
    std::unique_ptr<TForm1> form;
};
