-- The message store. A missing SMS.db is created from this file; a present one is never altered.
-- Keys use AUTOINCREMENT so that, like an autonumber, a number is never handed out again after
-- its row was deleted: a grid still showing a deleted row can then never delete a newer one.
-- Date-time columns hold text "yyyy-MM-dd HH:mm:ss" (the date alone at midnight), which sorts
-- in time order.

-- Outgoing queue: one text to one recipient, sent in ID order.
CREATE TABLE IF NOT EXISTS SM_TO_SP (
    ID    INTEGER PRIMARY KEY AUTOINCREMENT,
    MS_ID INTEGER,
    TP_DA TEXT,
    TP_UD TEXT
);
CREATE INDEX IF NOT EXISTS SM_TO_SP_MS_ID ON SM_TO_SP (MS_ID);

-- Queue messages whose parts were all sent (no key of its own).
CREATE TABLE IF NOT EXISTS SM_TO_SP_OK (
    MS_ID INTEGER,
    TP_DA TEXT,
    TP_UD TEXT,
    TP_DT TEXT,
    TP_SN INTEGER
);
CREATE INDEX IF NOT EXISTS SM_TO_SP_OK_MS_ID ON SM_TO_SP_OK (MS_ID);

-- Failed queue messages, and the contact groups (TP_DA name, TP_UD remark, MS_ID empty).
CREATE TABLE IF NOT EXISTS SM_TO_SP_FR (
    ID    INTEGER PRIMARY KEY AUTOINCREMENT,
    MS_ID INTEGER,
    TP_DA TEXT,
    TP_UD TEXT
);
CREATE INDEX IF NOT EXISTS SM_TO_SP_FR_MS_ID ON SM_TO_SP_FR (MS_ID);
CREATE INDEX IF NOT EXISTS SM_TO_SP_FR_TP_DA ON SM_TO_SP_FR (TP_DA);

-- One row per sent part the modem confirmed (the outbox).
CREATE TABLE IF NOT EXISTS SM_TO_SP_RC (
    ID    INTEGER PRIMARY KEY AUTOINCREMENT,
    MS_ID INTEGER,
    TP_CS TEXT,
    TP_DA TEXT,
    TP_UD TEXT,
    TP_DT TEXT
);
-- The outbox footer counts the rows by destination.
CREATE INDEX IF NOT EXISTS SM_TO_SP_RC_TP_DA ON SM_TO_SP_RC (TP_DA);

-- Received messages (the inbox); TP_DT is the service-centre time stamp.
CREATE TABLE IF NOT EXISTS SP_TO_SM (
    id    INTEGER PRIMARY KEY AUTOINCREMENT,
    TP_CS TEXT,
    TP_DA TEXT,
    TP_UD TEXT,
    TP_DT TEXT
);
-- The forwarding lookup reads the stored pieces (texts beginning with ":") in time order.
CREATE INDEX IF NOT EXISTS SP_TO_SM_PIECES ON SP_TO_SM (TP_DT) WHERE substr(TP_UD, 1, 1) = ':';
-- The inbox footer counts the rows by sender.
CREATE INDEX IF NOT EXISTS SP_TO_SM_TP_DA ON SP_TO_SM (TP_DA);

-- Contacts. The sizes are those the contacts list declares; longer values are refused.
CREATE TABLE IF NOT EXISTS PHONE_BOOK (
    ID      INTEGER PRIMARY KEY AUTOINCREMENT,
    FGROUP  VARCHAR(150) CHECK (length(FGROUP) <= 150),
    FNAME   VARCHAR(50) CHECK (length(FNAME) <= 50),
    FMOBILE VARCHAR(50) NOT NULL CHECK (length(FMOBILE) <= 50),
    FPHONE  VARCHAR(50) CHECK (length(FPHONE) <= 50),
    FTITLE  VARCHAR(50) CHECK (length(FTITLE) <= 50),
    FUNIT   VARCHAR(200) CHECK (length(FUNIT) <= 200),
    FDEMO   TEXT
);
-- Every name look-up of the message lists joins on the mobile number.
CREATE INDEX IF NOT EXISTS PHONE_BOOK_FMOBILE ON PHONE_BOOK (FMOBILE);

-- Orders received as SMS; new rows are added without fstatus (0 new, 1 handled).
CREATE TABLE IF NOT EXISTS SALE_ORDER (
    FID       INTEGER PRIMARY KEY AUTOINCREMENT,
    fmsg      TEXT,
    fmobile   TEXT,
    frevdate  TEXT,
    fdate     TEXT,
    fcustname TEXT,
    fproduct  TEXT,
    fdemo     TEXT,
    fstatus   INTEGER DEFAULT 0
);
CREATE INDEX IF NOT EXISTS SALE_ORDER_STATUS ON SALE_ORDER (fstatus, FID);
