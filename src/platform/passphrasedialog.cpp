#include "platform/passphrasedialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tl {

namespace {

QLineEdit *passwordField(QWidget *parent, const QString &name)
{
    auto *field = new QLineEdit(parent);
    field->setEchoMode(QLineEdit::Password);
    field->setAccessibleName(name);
    // Nothing typed here goes to a drag, an input method's memory or the
    // clipboard.
    field->setAttribute(Qt::WA_InputMethodEnabled, false);
    field->setContextMenuPolicy(Qt::NoContextMenu);
    field->setDragEnabled(false);
    return field;
}

} // namespace

PassphraseDialog::PassphraseDialog(const PassphraseRequest &request, QWidget *parent)
    : QDialog(parent), m_mismatch(request.mismatch)
{
    setWindowTitle(request.caption);
    setObjectName(QStringLiteral("PassphraseDialog"));
    auto *layout = new QVBoxLayout(this);
    m_problem = new QLabel(request.problem, this);
    m_problem->setObjectName(QStringLiteral("lblProblem"));
    m_problem->setWordWrap(true);
    m_problem->setVisible(!request.problem.isEmpty());
    m_problem->setStyleSheet(QStringLiteral("font-weight: bold"));
    layout->addWidget(m_problem);

    auto *prompt = new QLabel(request.prompt, this);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
    m_first = passwordField(this, request.prompt);
    m_first->setObjectName(QStringLiteral("edPassphrase"));
    prompt->setBuddy(m_first);
    layout->addWidget(m_first);
    if (!request.again.isEmpty()) {
        auto *again = new QLabel(request.again, this);
        layout->addWidget(again);
        m_second = passwordField(this, request.again);
        m_second->setObjectName(QStringLiteral("edPassphraseAgain"));
        again->setBuddy(m_second);
        layout->addWidget(m_second);
    }

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(request.ok, QDialogButtonBox::AcceptRole);
    m_ok->setAccessibleName(request.ok);
    m_ok->setDefault(true);  // Return confirms
    QPushButton *cancel = buttons->addButton(request.cancel, QDialogButtonBox::RejectRole);
    cancel->setAccessibleName(request.cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(this, &QDialog::rejected, this, &PassphraseDialog::clearFields);
    m_first->setFocus();
}

PassphraseDialog::~PassphraseDialog()
{
    clearFields();
}

void PassphraseDialog::accept()
{
    const QString typed = m_first->text();
    if (typed.isEmpty()) {
        m_first->setFocus();
        return;
    }
    if (m_second && m_second->text() != typed) {
        m_problem->setText(m_mismatch);
        m_problem->setVisible(true);
        m_second->clear();
        m_first->selectAll();
        m_first->setFocus();
        return;
    }
    QByteArray utf8 = typed.toUtf8();
    m_taken = crypto::SecureBytes(utf8);
    crypto::wipe(utf8);
    clearFields();
    QDialog::accept();
}

crypto::SecureBytes PassphraseDialog::take()
{
    return std::move(m_taken);
}

void PassphraseDialog::clearFields()
{
    // Overwritten before cleared: the field's own buffer is reused.
    for (QLineEdit *field : {m_first, m_second})
        if (field) {
            field->setText(QString(field->text().size(), QLatin1Char(' ')));
            field->clear();
        }
}

} // namespace tl
