-- What the sample adds to its excerpts of 建築基準法 (01A) and 施行令 (01B),
-- carried over to the whole laws imported from the official data: wherever the
-- imported text has the sentence under the same identifier. The sample is
-- attached as "sample" (velto-dbbuild --attach sample=...).

-- Reference rows. The sample splits 第52条 and 別表第2 into pages, the imported
-- laws do not: a target page that does not exist becomes its article's one page.
INSERT INTO T_参 (ID_BN, ID_FN, 順序, 表示, 場所, キーワード, 表中, 選定, 自動, 強調, 有効, 備考, 補助)
SELECT r.ID_BN,
       CASE WHEN EXISTS (SELECT 1 FROM T_条 p WHERE p.ID_FN = r.ID_FN) THEN r.ID_FN ELSE substr(r.ID_FN, 1, 12) || '-00' END,
       r.順序, r.表示, r.場所, r.キーワード, r.表中, r.選定, r.自動, r.強調, r.有効, r.備考, r.補助
  FROM sample.T_参 r
 WHERE substr(r.ID_BN, 1, 3) IN ('01A', '01B')
   AND EXISTS (SELECT 1 FROM T_文 s WHERE s.ID_BN = r.ID_BN)
   AND EXISTS (SELECT 1 FROM T_条 p WHERE p.ID_FN IN (r.ID_FN, substr(r.ID_FN, 1, 12) || '-00'));

UPDATE T_文 SET 参照 = -1
 WHERE substr(ID_BN, 1, 3) IN ('01A', '01B') AND ID_BN IN (SELECT ID_BN FROM T_参);

-- Tables of sentences. The official table of a sentence, where it has one,
-- stands; the sample's hand-made one is added only to a sentence without.
INSERT INTO T_表 (ID_BN, 順序, 表式データ, 検索用データ)
SELECT t.ID_BN, t.順序, t.表式データ, t.検索用データ
  FROM sample.T_表 t
 WHERE substr(t.ID_BN, 1, 3) IN ('01A', '01B')
   AND EXISTS (SELECT 1 FROM T_文 s WHERE s.ID_BN = t.ID_BN AND s.表式 = 0)
   AND NOT EXISTS (SELECT 1 FROM T_表 o WHERE o.ID_BN = t.ID_BN);

UPDATE T_文 SET 表式 = -1
 WHERE substr(ID_BN, 1, 3) IN ('01A', '01B') AND 表式 = 0 AND ID_BN IN (SELECT ID_BN FROM T_表);

-- The sample's link marks ([L...L]: a link to a notification) and keyword marks
-- ([K...K]: the word a reference row stands for), set on the first occurrence
-- of their words in the imported sentence. The law text itself is unchanged.
CREATE TEMP TABLE marks (ID_BN TEXT PRIMARY KEY, words TEXT, marked TEXT);
INSERT INTO temp.marks VALUES
  ('01A-00020000-00-0100-0900-0000-0000', '国土交通大臣が定めたもの', '[L国土交通大臣が定めたもの/02K-KD121400L]'),
  ('01A-00280000-00-0100-0000-0000-0000', '政令で定める割合', '[K政令で定める割合K]'),
  ('01B-00010000-00-0100-0500-0000-0000', '国土交通大臣が定めたもの', '[L国土交通大臣が定めたもの/02K-KD121401L]'),
  ('01B-01260200-00-0100-0000-0000-0000', '排煙設備', '[K排煙設備K]');

UPDATE T_文
   SET 法文 = (SELECT substr(T_文.法文, 1, instr(T_文.法文, m.words) - 1) || m.marked ||
                      substr(T_文.法文, instr(T_文.法文, m.words) + length(m.words))
                 FROM temp.marks m WHERE m.ID_BN = T_文.ID_BN)
 WHERE ID_BN IN (SELECT m.ID_BN FROM temp.marks m WHERE instr(T_文.法文, m.words) > 0);

DROP TABLE temp.marks;
