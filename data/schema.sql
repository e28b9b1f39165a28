-- The law database. Text identifiers are fixed-width ASCII; yes/no fields hold 0
-- for no and any other value for yes; memo fields are long texts.
-- The [LEFT] indexes serve the reader's statements, which select by identifier
-- prefix (LEFT([ID_FN], 3) = '01A' and the like); they need the reader's LEFT
-- function, which every connection of the reader and of its tools registers.

CREATE TABLE T_法 (
  ID_HN      TEXT PRIMARY KEY,
  法名一般   TEXT,
  法名略式   TEXT,
  法名正式   TEXT,
  表示       INTEGER DEFAULT 0
);

CREATE TABLE T_章 (
  ID_SN      TEXT PRIMARY KEY,
  章名       TEXT,
  節名       TEXT,
  款名       TEXT,
  目名       TEXT,
  告示       INTEGER
);
CREATE INDEX T_章_法 ON T_章 ([LEFT](ID_SN, 3), ID_SN);

CREATE TABLE T_条 (
  ID_FN      TEXT PRIMARY KEY,
  ID_SN      TEXT,
  条名       TEXT,
  補足       TEXT,
  分割       INTEGER,
  大型       INTEGER,
  表示       INTEGER DEFAULT 0
);
CREATE INDEX T_条_法 ON T_条 ([LEFT](ID_FN, 3), ID_FN);
CREATE INDEX T_条_章 ON T_条 (ID_SN);

CREATE TABLE T_文 (
  ID_BN          TEXT PRIMARY KEY,
  法文           TEXT,
  書式コード     TEXT,
  表式           INTEGER,
  札抜           INTEGER,
  参照           INTEGER,
  図入           INTEGER,
  検索用データ   TEXT
);
CREATE INDEX T_文_頁 ON T_文 ([LEFT](ID_BN, 15), ID_BN);

CREATE TABLE T_表 (
  ID_BN          TEXT NOT NULL,
  順序           INTEGER,
  表式データ     TEXT,
  検索用データ   TEXT
);
CREATE INDEX T_表_文 ON T_表 (ID_BN, 順序);
CREATE INDEX T_表_頁 ON T_表 ([LEFT](ID_BN, 15), ID_BN);

CREATE TABLE T_他 (
  ID_FN      TEXT NOT NULL,
  順序       INTEGER,
  HTMLデータ TEXT
);
CREATE INDEX T_他_頁 ON T_他 (ID_FN, 順序);

CREATE TABLE T_参 (
  ID_BN      TEXT NOT NULL,
  ID_FN      TEXT,
  順序       INTEGER,
  表示       INTEGER DEFAULT 0,
  場所       TEXT,
  キーワード TEXT,
  表中       INTEGER,
  選定       INTEGER,
  自動       INTEGER,
  強調       INTEGER,
  有効       INTEGER,
  備考       TEXT,
  補助       TEXT
);
CREATE INDEX T_参_文 ON T_参 (ID_BN, 順序);
CREATE INDEX T_参_頁 ON T_参 (ID_FN);

CREATE TABLE T_告 (
  ID_FN          TEXT NOT NULL,
  公布年月日     TEXT,
  公布省名       TEXT,
  改正年月日     TEXT,
  改正省名       TEXT,
  改正告示番号   INTEGER
);
CREATE INDEX T_告_頁 ON T_告 (ID_FN);
