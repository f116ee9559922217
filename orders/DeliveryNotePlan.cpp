#include "DeliveryNotePlan.h"

#include "untPublic.h"

#include <QTime>
#include <algorithm>

using untPublic::SplitToList;
using untPublic::TrimText;

namespace Orders {

int NoteAnchorRow(int k)
{
    const int bandTop = 40 * ((k + 1) / 2 - 1);
    return bandTop + (k % 2 == 1 ? 2 : 23);
}

QString NoteNumber(const QDate &day, int sequence)
{
    return QStringLiteral("NO:CK") + day.toString(QStringLiteral("yyyyMMdd"))
        + (sequence < 10 ? QStringLiteral("0") : QString()) + QString::number(sequence);
}

QDate ReceiptDate(const QString &receivedAt)
{
    const QString text = TrimText(receivedAt);
    qsizetype cut = text.indexOf(QLatin1Char(' '));
    if (cut < 0)
        cut = text.indexOf(QLatin1Char('T'));
    const QString datePart = cut < 0 ? text : text.left(cut);
    const QString timePart = cut < 0 ? QString() : TrimText(text.mid(cut + 1));

    QDate date;
    for (const char *format : { "yyyy-M-d", "yyyy/M/d" }) {
        date = QDate::fromString(datePart, QLatin1String(format));
        if (date.isValid())
            break;
    }
    if (!date.isValid() || timePart.isEmpty())
        return date;
    // The time only has to be a time; the date alone decides the note's day.
    for (const char *format : { "H:m:s", "H:m", "H:m:s.z" }) {
        if (QTime::fromString(timePart, QLatin1String(format)).isValid())
            return date;
    }
    return {};
}

TNotePlanner::TNotePlanner(NoteLayout layout)
    : m_layout(LayoutInfo(layout))
{
}

bool TNotePlanner::WriteOrderNotes(const TNoteOrder &order, QString *error)
{
    const QDate received = ReceiptDate(order.receivedAt);
    if (!received.isValid()) {
        if (error)
            *error = QStringLiteral("接收时间“%1”不是有效的日期时间，发货单没有导出。")
                         .arg(TrimText(order.receivedAt));
        return false;
    }
    const QDate day = received.addDays(1);
    const QString dayText = day.toString(QStringLiteral("yyyyMMdd"));

    // The piece after the last ";" is never printed.
    const QStringList lines = SplitToList(TrimText(order.items), QStringLiteral(";"));
    const int lineCount = int(lines.size()) - 1;
    const int perNote = m_layout.linesPerNote;
    const int notes = std::max(1, (lineCount + perNote - 1) / perNote);
    const QString customer = TrimText(order.customer);
    const QString deliveryDate = TrimText(order.deliveryDate);
    const QString remark = TrimText(order.remark);

    for (int s = 1; s <= notes; ++s) {
        ++m_noteCount;
        if (dayText == m_noteDay) {
            ++m_noteSeq;
        } else {
            m_noteDay = dayText;
            m_noteSeq = 1;
        }
        TNote note;
        note.anchorRow = NoteAnchorRow(m_noteCount);
        note.number = NoteNumber(day, m_noteSeq);
        const int headerRow = note.anchorRow + 2;
        const int firstItemRow = note.anchorRow + 4;
        note.cells.append({ headerRow, m_layout.customerColumn, customer });
        note.cells.append({ headerRow, m_layout.dateColumn, deliveryDate });
        note.cells.append({ headerRow, m_layout.numberColumn, note.number });
        note.cells.append({ firstItemRow, m_layout.remarkColumn, remark });

        const int first = (s - 1) * perNote;
        const int end = std::min(lineCount, s * perNote);
        for (int j = 0; j < end - first; ++j) {
            const QStringList parts = SplitToList(TrimText(lines[first + j]), QStringLiteral(","));
            const auto &columns = m_layout.lineColumns[j / ItemRowsPerNote];
            const int row = firstItemRow + j % ItemRowsPerNote;
            // Part 1, part 3, part 2 into the three columns; a missing part leaves its cell.
            if (parts.size() >= 1)
                note.cells.append({ row, columns[0], parts[0], true });
            if (parts.size() >= 3)
                note.cells.append({ row, columns[1], parts[2], true });
            if (parts.size() >= 2)
                note.cells.append({ row, columns[2], parts[1], true });
        }
        m_notes.append(std::move(note));
    }
    return true;
}

} // namespace Orders
