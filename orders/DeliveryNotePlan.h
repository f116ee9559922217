#pragma once
// Which notes an export writes and what goes into which cell of worksheet 1, worked out before
// any file is touched.

#include "NoteLayout.h"

#include <QDate>
#include <QList>
#include <QString>

namespace Orders {

// An order as the new-order list gives it to the export.
struct TNoteOrder {
    QString customer;
    QString receivedAt; // the store's date-time text
    QString deliveryDate;
    QString items;
    QString remark;
    qint64 fid = 0;
};

struct TNoteCell {
    int row = 0; // worksheet 1, 1-based
    int column = 0; // 1 = A
    QString value; // empty clears the cell
    // Item parts are typed input (a plain number becomes a number the template's totals count);
    // the header fields and the remark are free texts and stay texts ("1.10" is no 1.1).
    bool typed = false;
};

struct TNote {
    int anchorRow = 0; // the block's top-left cell goes to column A of this row
    QString number; // "NO:CK" + yyyymmdd + sequence
    QList<TNoteCell> cells;
};

// The anchor row of the k-th note of an export (k from 1): two notes to each band of 40 rows.
int NoteAnchorRow(int k);

// "NO:CK" + day + the sequence number, two digits at least.
QString NoteNumber(const QDate &day, int sequence);

// The date of a stored time of receipt ("yyyy-MM-dd HH:mm:ss", the date alone, or the same
// with "/" or "T"); an invalid date when the text is not a date-time.
QDate ReceiptDate(const QString &receivedAt);

class TNotePlanner {
public:
    explicit TNotePlanner(NoteLayout layout);

    // Appends every note of one order. False, with the reason, when its time of receipt cannot
    // be read; nothing is appended then.
    bool WriteOrderNotes(const TNoteOrder &order, QString *error);

    const QList<TNote> &Notes() const { return m_notes; }
    int NoteCount() const { return m_noteCount; }
    int NoteSeq() const { return m_noteSeq; }
    const QString &NoteDay() const { return m_noteDay; }

private:
    const TNoteLayoutInfo &m_layout;
    QList<TNote> m_notes;
    int m_noteCount = 0;
    int m_noteSeq = 0;
    QString m_noteDay;
};

} // namespace Orders
