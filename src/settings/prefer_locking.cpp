// The General page's lock of an encrypted file after minutes hidden or idle.

#include "settings/TfrmPrefer.h"

#include "controls/guarded.h"
#include "settings/preferwidgets.h"
#include "settings/settingstable.h"

#include <QLabel>
#include <QSpinBox>

void TfrmPrefer::createLockControl(QWidget *page)
{
    lblLock = tl::prefer::label(page, "lblLock",
                                QStringLiteral("Lock encrypted files after minutes hidden or idle (0: never):"), 17, 96);
    lblLock->setWordWrap(true);
    lblLock->setFixedWidth(190);
    lblLock->adjustSize();
    seLock = tl::prefer::named(new QSpinBox(page), "seLock");
    seLock->setRange(0, 24 * 60);
    seLock->setGeometry(212, 98, 50, 22);
    seLock->setAccessibleName(lblLock->text());
    lblLock->setBuddy(seLock);
    tl::connectGuarded(seLock, &QSpinBox::valueChanged, this, [this] { seLockChange(); });
}

void TfrmPrefer::readLockControl()
{
    const QSignalBlocker block(seLock);
    seLock->setValue(m_settings.GetFromRegInt(tl::setting::LockAfterMinutes));
}

void TfrmPrefer::seLockChange()
{
    m_settings.SetFromRegInt(tl::setting::LockAfterMinutes, seLock->value());
    Q_EMIT lockMinutesChosen(seLock->value());
}

void TfrmPrefer::setLockCaption(const QString &text)
{
    lblLock->setText(text);
    lblLock->adjustSize();
    seLock->setAccessibleName(text);
}
