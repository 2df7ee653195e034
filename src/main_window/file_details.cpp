#include "main_window/file_details.h"
#include "platform/widgets/path_text.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace ferrowyn {

QString localDateTimeText(FileTime moment) {
    // Whole seconds first: a file may be dated far beyond what a count of nanoseconds holds.
    const QDateTime local = QDateTime::fromSecsSinceEpoch(moment.seconds).addMSecs(moment.nanoseconds / 1'000'000);
    const QLocale locale;
    // The locale's long time format, which has the seconds, without its time zone.
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
    const QString timeFormat = locale.timeFormat(QLocale::LongFormat).replace(zone, QStringLiteral(" ")).trimmed();
    return locale.toString(local.date(), QLocale::ShortFormat) + ' ' + locale.toString(local.time(), timeFormat);
}

QString fileDetails(const ChosenFile& file) {
    const QString lineBreak = QStringLiteral("\r\n");
    return shownText(file.path()) + lineBreak + lineBreak + QStringLiteral("Last modified on ") +
           localDateTimeText(file.modified) + lineBreak + lineBreak + QString::number(file.length) +
           QStringLiteral(" bytes long");
}

} // namespace ferrowyn
