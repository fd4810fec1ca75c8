#pragma once
// The small dialog that asks for an encrypted file's passphrase
// (services.h, PassphraseRequest).

#include "crypto/securebytes.h"
#include "platform/services.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tl {

class PassphraseDialog : public QDialog {
    Q_OBJECT

public:
    explicit PassphraseDialog(const PassphraseRequest &request, QWidget *parent = nullptr);
    ~PassphraseDialog() override;
    // The passphrase accepted, once; the fields are emptied.
    crypto::SecureBytes take();

    void accept() override;

private:
    void clearFields();

    QLabel *m_problem = nullptr;
    QLineEdit *m_first = nullptr;
    QLineEdit *m_second = nullptr;  // null: asked once
    QPushButton *m_ok = nullptr;
    QString m_mismatch;
    crypto::SecureBytes m_taken;
};

} // namespace tl
