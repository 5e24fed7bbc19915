-- The database delivered with the program (Data/eye.mdb).
-- Write-ahead log: a second copy of the program reads and writes alongside.
PRAGMA journal_mode = WAL;

-- One row of settings. Switches are BOOLEAN columns (numeric affinity): the text
-- '-1' that the program writes is stored as the number -1 and reads as true.
CREATE TABLE Setting (
  Age          TEXT,
  HintInterval TEXT,
  EachRestTime TEXT,
  RestTime     TEXT,
  IsStatKey    BOOLEAN,
  IsStatMouse  BOOLEAN,
  IsAotuRun    BOOLEAN,
  SoundPath    TEXT,
  LCDSize      TEXT,
  EidolonHint  BOOLEAN,
  BladderHint  BOOLEAN,
  SoundHint    BOOLEAN,
  ForceRest    BOOLEAN,
  HimtText     TEXT
);

INSERT INTO Setting (Age, HintInterval, EachRestTime, RestTime, IsStatKey, IsStatMouse,
                     IsAotuRun, SoundPath, LCDSize, EidolonHint, BladderHint, SoundHint,
                     ForceRest, HimtText)
VALUES ('青年', '手动设置', '45', '15', -1, -1, 0, '', '17', -1, -1, -1, 0,
        '您已经连续工作很久了，请休息一下眼睛。');

-- One row of activity totals per calendar day. Date is the local date-time of the
-- day's first save as 'yyyy-MM-dd HH:mm:ss' text: text order is time order, and
-- like 'yyyy-MM-dd%' finds a day's rows through the index (text affinity and
-- NOCASE, as like compares without regard to case).
CREATE TABLE Stat (
  Date       TEXT COLLATE NOCASE,
  Ckey       INTEGER,
  CMouse     INTEGER,
  MoveMouse  REAL,
  ActiveTime INTEGER,
  RestTime   INTEGER
);

CREATE INDEX StatDate ON Stat (Date);
