#pragma once
// The real services: Qt dialogs, the desktop's URL handler, printing, key sounds
// (platform/lazysound.h).

#include "platform/services.h"

namespace tl {

class QtDialogs : public IDialogs {
public:
    MsgResult messageBox(QWidget *parent, const QString &caption, const QString &text,
                         MsgButtons buttons, MsgIcon icon) override;
    QString openFileName(QWidget *parent, FileDialogRequest &request) override;
    QString saveFileName(QWidget *parent, FileDialogRequest &request) override;
    QString existingFolder(QWidget *parent, const QString &caption, const QString &folder) override;
    std::optional<QColor> color(QWidget *parent, const QColor &initial) override;
    std::optional<QFont> font(QWidget *parent, const QFont &initial) override;
    std::optional<crypto::SecureBytes> passphrase(QWidget *parent, const PassphraseRequest &request) override;
};

class QtShell : public IShell {
public:
    bool openUrl(const QUrl &url) override;
};

class QtPrinting : public IPrinting {
public:
    bool hasPrinter() override;
    bool printDialog(QWidget *parent, QPrinter &printer) override;
};

Services realServices();

} // namespace tl
