// The passphrase dialog as a person uses it: typing into the field that has
// the focus, Tab to the next, Return to confirm, Escape to cancel.

#include "platform/passphrasedialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

tl::PassphraseRequest request(bool twice)
{
    tl::PassphraseRequest r;
    r.caption = QStringLiteral("Encrypted file");
    r.prompt = QStringLiteral("Passphrase of \"Diary.nts.age\":");
    if (twice)
        r.again = QStringLiteral("The same passphrase again:");
    r.mismatch = QStringLiteral("The two passphrases differ.");
    r.ok = QStringLiteral("OK");
    r.cancel = QStringLiteral("Cancel");
    return r;
}

struct Keys {
    QString text;  // typed; '\t' is Tab
    Qt::Key end;   // Return or Escape
};

struct DialogCase {
    const char *name;
    bool twice;
    std::vector<Keys> keys;  // in turn; the dialog may stay open between them
    bool accepted;
    const char *passphrase;  // taken when accepted
    bool mismatchSaid;
};

void PrintTo(const DialogCase &c, std::ostream *os)
{
    *os << c.name;
}

class PassphraseDialogKeys : public testing::TestWithParam<DialogCase> {};

TEST_P(PassphraseDialogKeys, AnswersAsTyped)
{
    const DialogCase &c = GetParam();
    tl::PassphraseDialog dialog(request(c.twice));
    dialog.open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ASSERT_EQ(QApplication::focusWidget(), dialog.findChild<QLineEdit *>(QStringLiteral("edPassphrase")))
        << "the field has the focus";
    EXPECT_EQ(QApplication::focusWidget()->accessibleName(), request(c.twice).prompt);
    for (const Keys &k : c.keys) {
        ASSERT_TRUE(dialog.isVisible());
        for (QChar ch : k.text) {
            if (ch == QLatin1Char('\t'))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            else {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
                QApplication::sendEvent(QApplication::focusWidget(), &press);
                QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
                QApplication::sendEvent(QApplication::focusWidget(), &release);
            }
        }
        QTest::keyClick(QApplication::focusWidget(), k.end);
    }
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted);
    if (c.accepted)
        EXPECT_EQ(dialog.take().view(), QByteArrayView(c.passphrase));
    else
        EXPECT_TRUE(dialog.take().isEmpty());
    EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("lblProblem"))->text() == QStringLiteral("The two passphrases differ."),
              c.mismatchSaid);
    // Nothing typed stays in the fields.
    for (QLineEdit *field : dialog.findChildren<QLineEdit *>())
        EXPECT_TRUE(field->text().isEmpty()) << field->objectName().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Typing, PassphraseDialogKeys,
    testing::Values(
        DialogCase{"once, Return", false, {{QStringLiteral("horse ü"), Qt::Key_Return}}, true, "horse \xc3\xbc", false},
        DialogCase{"once, Escape", false, {{QStringLiteral("horse"), Qt::Key_Escape}}, false, "", false},
        DialogCase{"empty Return stays", false,
                   {{QString(), Qt::Key_Return}, {QStringLiteral("x"), Qt::Key_Return}}, true, "x", false},
        DialogCase{"twice, the same", true, {{QStringLiteral("ab\tab"), Qt::Key_Return}}, true, "ab", false},
        DialogCase{"twice, differing, then the same", true,
                   {{QStringLiteral("ab\tac"), Qt::Key_Return}, {QStringLiteral("cd\tcd"), Qt::Key_Return}}, true,
                   "cd", true},
        DialogCase{"twice, differing, then Escape", true,
                   {{QStringLiteral("ab\tac"), Qt::Key_Return}, {QString(), Qt::Key_Escape}}, false, "", true}));

} // namespace
