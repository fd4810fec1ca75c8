// Automatic backups of the notes files the window writes (notes/backups.h):
// what the settings ask of them.

#include "app/TForm1.h"

#include "settings/settingstable.h"

void TForm1::wireBackups()
{
    m_session.setBackupPolicy([this] {
        tl::backup::Policy policy;
        // A value of the wrong type keeps the default: backups go on.
        try {
            policy.days = GetFromRegInt(tl::setting::BackupDays);
            policy.weeks = GetFromRegInt(tl::setting::BackupWeeks);
            policy.maxBytes = qint64(std::max(0, GetFromRegInt(tl::setting::BackupMegabytes))) << 20;
        } catch (const std::exception &) {
        }
        return policy;
    });
}
