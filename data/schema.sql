-- The law database. Text identifiers are fixed-width ASCII; yes/no fields hold 0
-- for no and any other value for yes; memo fields are long texts.
-- The [LEFT] indexes serve the reader's statements, which select by identifier
-- prefix (LEFT([ID_FN], 3) = '01A' and the like); they need the reader's LEFT
-- function, which every connection of the reader and of its tools registers.
-- Every statement may run again on a database that has some of the schema:
-- the tools bring older databases up to date this way.

CREATE TABLE IF NOT EXISTS T_法 (
  ID_HN      TEXT PRIMARY KEY,
  法名一般   TEXT,
  法名略式   TEXT,
  法名正式   TEXT,
  表示       INTEGER DEFAULT 0
);

CREATE TABLE IF NOT EXISTS T_章 (
  ID_SN      TEXT PRIMARY KEY,
  章名       TEXT,
  節名       TEXT,
  款名       TEXT,
  目名       TEXT,
  告示       INTEGER
);
CREATE INDEX IF NOT EXISTS T_章_法 ON T_章 ([LEFT](ID_SN, 3), ID_SN);

CREATE TABLE IF NOT EXISTS T_条 (
  ID_FN      TEXT PRIMARY KEY,
  ID_SN      TEXT,
  条名       TEXT,
  補足       TEXT,
  分割       INTEGER,
  大型       INTEGER,
  表示       INTEGER DEFAULT 0
);
CREATE INDEX IF NOT EXISTS T_条_法 ON T_条 ([LEFT](ID_FN, 3), ID_FN);
CREATE INDEX IF NOT EXISTS T_条_章 ON T_条 (ID_SN);

CREATE TABLE IF NOT EXISTS T_文 (
  ID_BN          TEXT PRIMARY KEY,
  法文           TEXT,
  書式コード     TEXT,
  表式           INTEGER,
  札抜           INTEGER,
  参照           INTEGER,
  図入           INTEGER,
  検索用データ   TEXT
);
CREATE INDEX IF NOT EXISTS T_文_頁 ON T_文 ([LEFT](ID_BN, 15), ID_BN);

CREATE TABLE IF NOT EXISTS T_表 (
  ID_BN          TEXT NOT NULL,
  順序           INTEGER,
  表式データ     TEXT,
  検索用データ   TEXT
);
CREATE INDEX IF NOT EXISTS T_表_文 ON T_表 (ID_BN, 順序);
CREATE INDEX IF NOT EXISTS T_表_頁 ON T_表 ([LEFT](ID_BN, 15), ID_BN);

CREATE TABLE IF NOT EXISTS T_他 (
  ID_FN      TEXT NOT NULL,
  順序       INTEGER,
  HTMLデータ TEXT
);
CREATE INDEX IF NOT EXISTS T_他_頁 ON T_他 (ID_FN, 順序);

CREATE TABLE IF NOT EXISTS T_参 (
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
CREATE INDEX IF NOT EXISTS T_参_文 ON T_参 (ID_BN, 順序);
CREATE INDEX IF NOT EXISTS T_参_頁 ON T_参 (ID_FN);

CREATE TABLE IF NOT EXISTS T_告 (
  ID_FN          TEXT NOT NULL,
  公布年月日     TEXT,
  公布省名       TEXT,
  改正年月日     TEXT,
  改正省名       TEXT,
  改正告示番号   INTEGER
);
CREATE INDEX IF NOT EXISTS T_告_頁 ON T_告 (ID_FN);

-- Which text of each imported law the database holds, as the official data
-- says it (velto-import writes one row per law; plain text, not HTML). The
-- version dialog lists these rows, so a user can see how current the text is.
CREATE TABLE IF NOT EXISTS T_版 (
  ID_HN          TEXT PRIMARY KEY,
  題名           TEXT,   -- LawTitle: 建築基準法
  法令番号       TEXT,   -- LawNum: 昭和二十五年法律第二百一号
  法令ID         TEXT,   -- 325AC0000000201
  版ID           TEXT,   -- the revision: 325AC0000000201_20251201_507AC0000000035
  施行日         TEXT,   -- the revision's date of effect, YYYY-MM-DD; empty when unknown
  改正法令番号   TEXT,   -- the amendment that made the revision: 令和七年法律第三十五号
  出典           TEXT    -- the name of the imported file
);

-- Earlier editions of the imported laws, kept beside the current one (which
-- stays in T_版, T_条, T_文 and T_表) so that two editions can be compared.
-- Each is keyed by its revision id (版ID) and holds the rows a comparison needs,
-- under the identifiers the current edition uses: the page "01A-00060000-00"
-- of the edition "325AC0000000201_20191201_501AC0000000037" is the row of
-- T_旧条 with that 版ID and ID_FN. velto-import writes an earlier edition
-- (--earlier, or "earlier" in a manifest) or moves the current edition here
-- before a newer one replaces it (--keep-replaced). The reader lists them in
-- the version dialog; the tree, the lists and the search never see them.
CREATE TABLE IF NOT EXISTS T_旧版 (
  版ID           TEXT PRIMARY KEY,
  ID_HN          TEXT NOT NULL,   -- the law it is an edition of
  題名           TEXT,            -- as T_版 (the title of that edition)
  法令番号       TEXT,
  法令ID         TEXT,
  施行日         TEXT,
  改正法令番号   TEXT,
  出典           TEXT
);
CREATE INDEX IF NOT EXISTS T_旧版_法 ON T_旧版 (ID_HN, 施行日);

CREATE TABLE IF NOT EXISTS T_旧条 (
  版ID       TEXT NOT NULL,
  ID_FN      TEXT NOT NULL,
  ID_SN      TEXT,
  条名       TEXT,
  補足       TEXT,
  PRIMARY KEY (版ID, ID_FN)
) WITHOUT ROWID;

CREATE TABLE IF NOT EXISTS T_旧文 (
  版ID           TEXT NOT NULL,
  ID_BN          TEXT NOT NULL,
  法文           TEXT,
  書式コード     TEXT,
  表式           INTEGER,
  PRIMARY KEY (版ID, ID_BN)
) WITHOUT ROWID;

CREATE TABLE IF NOT EXISTS T_旧表 (
  版ID           TEXT NOT NULL,
  ID_BN          TEXT NOT NULL,
  順序           INTEGER,
  表式データ     TEXT
);
CREATE INDEX IF NOT EXISTS T_旧表_文 ON T_旧表 (版ID, ID_BN, 順序);

-- Which sentences link to which article: the reverse of the links that the
-- link marks of T_文.法文 and T_表.表式データ become, one row per sentence
-- and article linked to. velto-dbbuild and velto-import write it anew with
-- every database they make; the reader builds it itself for a database
-- without it. The reader lists from it the sentences that cite an article.
CREATE TABLE IF NOT EXISTS T_引 (
  引用先     TEXT NOT NULL,   -- the 12-character identifier of the article linked to
  ID_BN      TEXT NOT NULL,   -- the sentence that holds the link
  アンカー   TEXT,            -- the id of the link in the page (the first, when several)
  表中       INTEGER,         -- the link stands in the sentence's table
  PRIMARY KEY (引用先, ID_BN)
) WITHOUT ROWID;

-- The citations of the imported law text (前項, 第二十条第一項第三号ロ, 同法第六条
-- …), found and resolved once when the text is written: one row per citation
-- of a sentence, linked or left plain. 開始 and 長さ are bytes of the stored
-- 法文, so the page wraps exactly that span in a link and keeps the words the
-- law writes. velto-import, velto-update and velto-dbbuild write it anew with
-- every database they make.
CREATE TABLE IF NOT EXISTS T_引用 (
  ID_BN      TEXT NOT NULL,    -- the citing sentence
  開始       INTEGER NOT NULL, -- the first byte of the citation in its 法文
  長さ       INTEGER NOT NULL, -- its length in bytes
  引用先     TEXT,             -- the 15-character page linked to; empty when left plain
  アンカー   TEXT,             -- ID_BN of the first sentence of the provision; empty for a whole page
  理由       TEXT,             -- why a citation is left plain; empty for a link
  PRIMARY KEY (ID_BN, 開始)
) WITHOUT ROWID;

-- The full-text search index: for every character and every pair of adjacent
-- characters of the searchable text, the pages that hold it. The searchable
-- text is what the search statements look at: 条名 of the pages shown (T_条
-- and T_法 with 表示 yes) and 検索用データ of their sentences and tables,
-- each text up to its first NUL, Latin letters in lower case. velto-dbbuild
-- and velto-import write it anew with every database they make; the reader
-- answers a search word from it exactly as the statements would, reading no
-- page's text, and searches a database without it by the statements.
--
-- Numbers in 出現 and 内容 are unsigned LEB128 (seven bits a byte, low bits
-- first, the high bit set on every byte but the last). Pages are numbered
-- from 0 in the order of 頁 below.
CREATE TABLE IF NOT EXISTS T_索引 (
  文字   TEXT PRIMARY KEY,   -- one character, or two that stand one after the other
  出現   BLOB NOT NULL       -- one character: each page that holds it, in increasing order, as the
                             -- difference to the page before (the first as itself); two characters:
                             -- the same, each page followed by the byte count of its places and
                             -- the places where the pair begins, in increasing order, each as the
                             -- difference to the place before (the first as itself). Places count
                             -- characters over the page's texts one after the other, with one
                             -- place between two texts
);

CREATE TABLE IF NOT EXISTS T_索引情報 (
  項目   TEXT PRIMARY KEY,   -- 形式: '1', the form of the index; a reader that does not know
                             --   the form searches by the statements
                             -- 頁: the pages (ID_FN), in byte order, each as its length and bytes
                             -- 例外: texts that are not plain UTF-8, each as its page, its length
                             --   and bytes; they are matched as SQLite's LIKE reads them
  内容   BLOB
);

-- The terms the laws define: one row per definition, with the range of
-- sentences it holds for (identifiers sort in the order of the text, so a
-- scope is the sentences from 始 to 終; '~' in 終 closes everything under its
-- prefix). velto-dbbuild and velto-import write it anew with every database
-- they make; a database without it shows no defined terms. An order or rule
-- also uses the terms its act defines for the whole act, unless it defines
-- the word itself.
CREATE TABLE IF NOT EXISTS T_用語 (
  ID_HN      TEXT NOT NULL,   -- the law that defines it
  用語       TEXT NOT NULL,   -- 主要構造部
  ID_BN      TEXT NOT NULL,   -- the defining sentence (an item of a definitions article, or the sentence of 「…」という。)
  範囲       TEXT,            -- the scope as a reader says it: この法令, この章, 以下この条 …
  始         TEXT NOT NULL,   -- the first sentence of the scope
  終         TEXT NOT NULL    -- every sentence of the scope is at most this
);
CREATE INDEX IF NOT EXISTS T_用語_法 ON T_用語 (ID_HN, 始);
