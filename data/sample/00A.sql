-- The reader's own pages.
INSERT INTO T_法 (ID_HN, 法名一般, 法名略式, 法名正式, 表示) VALUES ('00A', 'ヴェルト', 'ヴェルト', 'ヴェルト', -1);

INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES
  ('00A-Z0010000-00', '00A-0000-0000-0000-0000', '表紙', '', 0, 0, -1),
  ('00A-Z0020000-00', '00A-0000-0000-0000-0000', '凡例', '', 0, 0, -1);

INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES
  ('00A-Z0010000-00', 1, '<div style="text-align:center"><img src="velto_title.bmp"><h1>ヴェルト</h1><p>建築法令集</p><img src="season.gif"></div>'),
  ('00A-Z0020000-00', 1, '<h2>凡例</h2><p>この法令集の表示について説明します。</p>');
