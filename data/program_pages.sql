-- The program's pages that describe the collection, told that the two laws are
-- whole in this folder (the sample's page lists its excerpts).
UPDATE T_他
   SET HTMLデータ = replace(replace(HTMLデータ,
       '<td class="l">第1条、第2条、第6条、第6条の2、第7条、第20条、第21条、第27条、第28条、第35条、第48条、第52条、第53条、第56条、附則（制定時）、別表第1、別表第2</td>',
       '<td class="l">全文（本則、附則、別表）。公式の法令データ（e-Gov 法令API）から取り込んだ本文です。</td>'),
       '<td class="l">第1条、第2条、第19条、第20条、第22条、第81条、第112条、第126条の2、第126条の3、第129条の6</td>',
       '<td class="l">全文（本則、附則）。公式の法令データ（e-Gov 法令API）から取り込んだ本文です。</td>')
 WHERE ID_FN = '00A-Z0030000-00';
