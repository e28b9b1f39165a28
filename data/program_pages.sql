-- The program's pages that describe the collection, told what this folder
-- holds. 法令の改正履歴: a row for every imported law, made from its edition
-- (T_版) and the earlier editions kept (T_旧版), in the place of the sample's
-- rows of its two excerpts; the rows of the laws that are not imported (the
-- repealed ハートビル法) stay. The sample's pages list its excerpts.
CREATE TEMP TABLE law_rows AS
SELECT f.ID_HN AS law,
       '<tr><td class="l"><a href=''http://' ||
       (SELECT substr(min(c.ID_FN), 1, 12) FROM T_条 c WHERE substr(c.ID_FN, 1, 3) = f.ID_HN AND c.表示 <> 0) ||
       '_VELTO''>' || f.法名一般 || '</a><br>（' || v.法令番号 || '）</td><td class="l">全文（本則' ||
       CASE WHEN EXISTS (SELECT 1 FROM T_条 c WHERE c.ID_FN >= f.ID_HN || '-F' AND c.ID_FN < f.ID_HN || '-G')
            THEN '、附則' ELSE '' END ||
       CASE WHEN EXISTS (SELECT 1 FROM T_条 c WHERE c.ID_FN >= f.ID_HN || '-T' AND c.ID_FN < f.ID_HN || '-T999')
            THEN '、別表' ELSE '' END ||
       CASE WHEN EXISTS (SELECT 1 FROM T_条 c WHERE c.ID_FN >= f.ID_HN || '-T999' AND c.ID_FN < f.ID_HN || '-U')
            THEN '、別記（様式の図は省略）' ELSE '' END ||
       '）。公式の法令データ（e-Gov）から取り込んだ本文です。</td><td class="l">' ||
       CASE WHEN v.施行日 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'
            THEN CAST(substr(v.施行日, 1, 4) AS INTEGER) || '年' || CAST(substr(v.施行日, 6, 2) AS INTEGER) || '月' ||
                 CAST(substr(v.施行日, 9, 2) AS INTEGER) || '日施行'
            ELSE '施行日不明' END ||
       CASE WHEN ifnull(v.改正法令番号, '') <> '' THEN '（' || v.改正法令番号 || '）' ELSE '' END ||
       ifnull((SELECT '<br>旧版: ' || group_concat(d, '、')
                 FROM (SELECT CAST(substr(o.施行日, 1, 4) AS INTEGER) || '年' || CAST(substr(o.施行日, 6, 2) AS INTEGER) ||
                              '月' || CAST(substr(o.施行日, 9, 2) AS INTEGER) || '日施行' AS d
                         FROM T_旧版 o WHERE o.ID_HN = f.ID_HN ORDER BY o.施行日 DESC)), '') ||
       '</td></tr>' AS html
  FROM T_法 f JOIN T_版 v ON v.ID_HN = f.ID_HN
 WHERE f.表示 <> 0;

-- The laws before the repealed ones take the place of the sample's first rows
-- (from 建築基準法 up to ハートビル法), the later ones follow the last row.
UPDATE T_他
   SET HTMLデータ =
       substr(HTMLデータ, 1, instr(HTMLデータ, '<tr><td class="l"><a href=''http://01A-') - 1) ||
       (SELECT group_concat(html, char(10)) FROM (SELECT html FROM temp.law_rows WHERE law < '10A' ORDER BY law)) || char(10) ||
       substr(HTMLデータ, instr(HTMLデータ, '<tr><td class="l"><a href=''http://10A-'),
              instr(HTMLデータ, '</table>') - instr(HTMLデータ, '<tr><td class="l"><a href=''http://10A-')) ||
       ifnull((SELECT group_concat(html, char(10)) FROM (SELECT html FROM temp.law_rows WHERE law > '10Z' ORDER BY law)) || char(10), '') ||
       substr(HTMLデータ, instr(HTMLデータ, '</table>'))
 WHERE ID_FN = '00A-Z0030000-00' AND instr(HTMLデータ, '<tr><td class="l"><a href=''http://01A-') > 0
   AND instr(HTMLデータ, '<tr><td class="l"><a href=''http://10A-') > 0;

DROP TABLE temp.law_rows;

-- The cover names what this folder holds: the collection, not the sample's two laws.
UPDATE T_他
   SET HTMLデータ = replace(HTMLデータ, '<p style="font-size: 13pt; color: #203A5C">建築基準法・建築基準法施行令・関係告示</p>',
                            '<p style="font-size: 13pt; color: #203A5C">建築基準法・関係法令・関係告示</p>')
 WHERE ID_FN = '00A-Z0010000-00';
