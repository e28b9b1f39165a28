-- Pages whose text is an excerpt written for the sample and not checked against
-- an official source: each says so at the top of its text, so that it cannot
-- pass for the law. (The search data stays the text alone.)
UPDATE T_文
   SET 法文 = '<span class="unverified" style="color:#C00000; font-weight:bold;">未確認の抜粋：このページの本文は、公式の法令データと照合していない抜粋です。ヴェルトを試すための見本であり、法令の本文として使うことはできません。</span><br>' || 法文
 WHERE ID_BN IN (SELECT min(ID_BN) FROM T_文
                  WHERE substr(ID_BN, 1, 15) IN ('02K-KD121401-00', '02K-KD121402-00', '02K-KD121454-00', '10C-00010000-00')
                  GROUP BY substr(ID_BN, 1, 15));
