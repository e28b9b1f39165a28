-- ヴェルト自身のページ（表紙、凡例、改正履歴、建築設計資料）。
-- どのページも T_他 に HTML を持ち、1行目に head、2行目以降に body を置きます。
-- これらはメニューとツールバーから開くページなので、法令としては表示しません
-- （目次・リストに並ばず、前へ・次へでもたどりません）。

INSERT INTO T_法 (ID_HN, 法名一般, 法名略式, 法名正式, 表示) VALUES ('00A', 'ヴェルト', 'ヴェルト', 'ヴェルト　建築法令集', 0);

-- ヴェルトの舞台裏
INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES ('00A-Z0000000-00', '00A-0000-0000-0000-0000', '隠しページ', '', 0, 0, 0);
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0000000-00', 1, '<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=UTF-8">
<title>ヴェルトの舞台裏</title>
<style type="text/css">
<!--
body { font-family: ''ＭＳ Ｐゴシック'', sans-serif; font-size: 10.5pt; color: #202020; background-color: #FFFFFF; }
h1 { font-size: 15pt; color: #203A5C; border-bottom: 2px solid #203A5C; padding-bottom: 2px; }
h2 { font-size: 12pt; color: #203A5C; margin-top: 1.4em; }
table.data { border-collapse: collapse; font-size: 9.0pt; }
table.data th { background-color: #E4ECF4; border: 1px solid #8898A8; padding: 2px 6px; font-weight: normal; }
table.data td { border: 1px solid #8898A8; padding: 2px 6px; text-align: right; }
table.data td.l { text-align: left; }
p.note { font-size: 9pt; color: #505050; }
-->
</style>
</head>
');
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0000000-00', 2, '<body>
<h1>ヴェルトの舞台裏</h1>
<p>このページは隠しページです。見つけていただいてありがとうございます。</p>
<p>ヴェルトは、建築の実務で毎日のように法令を引く人のために作られた法令集です。条文どうしのリンク、参照ブロック、ピンポイントジャンプ、全文検索、しおり――どれも「目的の一文にすぐたどり着く」ための道具です。</p>
<p>これからも、条文を読む時間が少しでも短くなるように手を入れていきます。</p>
<p><a href=''http://00A-Z0010000_VELTO''>表紙へ戻る</a></p>
</body>
</html>
');

-- ヴェルト　表紙
INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES ('00A-Z0010000-00', '00A-0000-0000-0000-0000', '表紙', '', 0, 0, -1);
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0010000-00', 1, '<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=UTF-8">
<title>ヴェルト　表紙</title>
<style type="text/css">
<!--
body { font-family: ''ＭＳ Ｐゴシック'', sans-serif; font-size: 10.5pt; color: #202020; background-color: #FFFFFF; }
h1 { font-size: 15pt; color: #203A5C; border-bottom: 2px solid #203A5C; padding-bottom: 2px; }
h2 { font-size: 12pt; color: #203A5C; margin-top: 1.4em; }
table.data { border-collapse: collapse; font-size: 9.0pt; }
table.data th { background-color: #E4ECF4; border: 1px solid #8898A8; padding: 2px 6px; font-weight: normal; }
table.data td { border: 1px solid #8898A8; padding: 2px 6px; text-align: right; }
table.data td.l { text-align: left; }
p.note { font-size: 9pt; color: #505050; }
-->
</style>
</head>
');
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0010000-00', 2, '<body>
<div align="center">
<br>
<img src="velto_title.bmp" width="480" height="120" alt="ヴェルト">
<p style="font-size: 13pt; color: #203A5C">建築基準法・建築基準法施行令・関係告示</p>
<img src="season.gif" width="160" height="120" alt="">
<p>収録法令は [L法令の改正履歴/00A-Z0030000L] と [L告示の改正履歴/00A-Z0040000L] に示す改正までを反映しています。</p>
<p>[L凡例（画面の見方）/00A-Z0020000L]　｜　[L建築設計資料/00A-Z0090000L]</p>
<table border="0" cellpadding="4" style="font-size: 10pt">
<tr><td>[L建築基準法　第1条（目的）/01A-00010000L]</td><td>[L建築基準法施行令　第1条（用語の定義）/01B-00010000L]</td></tr>
<tr><td>[L建築基準法　第2条（用語の定義）/01A-00020000L]</td><td>[L不燃材料を定める件（平成12年建設省告示第1400号）/02K-KD121400L]</td></tr>
</table>
<p style="font-size: 9pt; color: #606060">左の「目次」「リスト」「全文検索」「しおり」のタブから条文を開きます。<br>法令の本文は官報及び法令データに基づいて入力したものです。実務では必ず最新の官報等で確認してください。</p>
</div>
</body>
</html>
');

-- ヴェルト　凡例
INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES ('00A-Z0020000-00', '00A-0000-0000-0000-0000', '凡例', '', 0, 0, -1);
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0020000-00', 1, '<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=UTF-8">
<title>ヴェルト　凡例</title>
<style type="text/css">
<!--
body { font-family: ''ＭＳ Ｐゴシック'', sans-serif; font-size: 10.5pt; color: #202020; background-color: #FFFFFF; }
h1 { font-size: 15pt; color: #203A5C; border-bottom: 2px solid #203A5C; padding-bottom: 2px; }
h2 { font-size: 12pt; color: #203A5C; margin-top: 1.4em; }
table.data { border-collapse: collapse; font-size: 9.0pt; }
table.data th { background-color: #E4ECF4; border: 1px solid #8898A8; padding: 2px 6px; font-weight: normal; }
table.data td { border: 1px solid #8898A8; padding: 2px 6px; text-align: right; }
table.data td.l { text-align: left; }
p.note { font-size: 9pt; color: #505050; }
-->
</style>
</head>
');
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0020000-00', 2, '<body>
<h1>凡例</h1>
<h2>条文ページの構成</h2>
<p>条文のページは、上から次の順に表示されます。</p>
<ul>
<li>条番号（大きな文字）と法令名：例「第 <b>20</b> 条　〔建築基準法（昭和二十五年法律第二百一号）〕」</li>
<li>章・節・款の見出し（右寄せ）</li>
<li>見出し：【構造耐力】のように【 】で囲んで示します。見出しのない条文では表示しません。</li>
<li>分割インジケータ（長い条文を複数のページに分けた場合のみ）</li>
<li>本文：項・号ごとに 1 つのまとまりとして、番号の札（タグ）の後に本文を表示します。</li>
</ul>
<h2>番号の札（タグ）</h2>
<p>各文の先頭に太字で付く番号です。条の第1項は「第20条」、第2項以下は「2」「3」…、号は「一」「二」…、号の細分は「イ」「ロ」…、さらにその細分は「(1)」「(2)」…、「（ⅰ）」「（ⅱ）」…の順です。
告示では「第1」「一」「（1）」などの告示独自の番号を表示します。札の色は［オプション］で変更できます。</p>
<h2>色の意味</h2>
<table class="data">
<tr><th>表示</th><th>意味</th></tr>
<tr><td class="l"><span style="color: #0000FF; text-decoration: underline">第6条</span></td><td class="l">他の条文へのリンクです。クリックするとその条文へジャンプします。</td></tr>
<tr><td class="l"><b style="color: #996633">「建築物」</b></td><td class="l">「……」という。の形で定義された用語です（茶色の太字）。</td></tr>
<tr><td class="l"><span style="background-color: #FFF2CC">（<span style="background-color: #FFE699">括弧書き</span>）</span></td><td class="l">括弧書きを、外側から順に色分けして表示します（3 段階まで）。［括弧］ボタンで切り替えます。</td></tr>
<tr><td class="l"><span style="color: #FF0000">キーワード</span></td><td class="l">参照ブロックのリンクが説明している語句です。</td></tr>
<tr><td class="l"><span style="color: #FF0000">赤い注記</span></td><td class="l">廃止された法令のページに表示される注意書きです。</td></tr>
</table>
<h2>参照ブロック</h2>
<p>政令・告示・別表などを参照している文の下には、右寄せで参照先へのリンクが並びます（［参照］ボタンで表示を切り替えます）。
各行は「キーワード（場所） ⇒ 法令名 条番号 「見出し」」の形です。例えば、建築基準法 <a href=''http://01A-00280000_VELTO''>第28条</a> の第1項の下には、建築基準法施行令第19条・第20条へのリンクが表示されます。</p>
<h2>ピンポイントジャンプ</h2>
<p>［狙撃］ボタンがオンのとき、ジャンプ先の文が決まっているリンクは背景色付きで表示されます。
このリンクをクリックすると、リンク先のページを開いて目的の文を画面の上から約 3 割の位置に表示し、その文の左上に赤いピンの印を置きます。
リンクを右クリックすると、リンク先の条文の項・号の一覧が開き、ジャンプ先の文を自分で選べます（選んだ内容は velto14.ppj に保存されます）。</p>
<h2>分割インジケータ</h2>
<p>長い条文（例えば <a href=''http://01A-00520000_VELTO''>建築基準法第52条</a> や <a href=''http://01A-T0020000_VELTO''>別表第2</a>）は複数のページに分けて収録しています。
ページの右上と末尾に小さな丸印が並び、赤い丸 <span style="color: #D01010">●</span> が現在のページ、青い丸 <span style="color: #2050D0">●</span> が同じ条文の他のページです。丸印にマウスを重ねるとそのページの範囲が表示され、クリックするとそのページに移ります。</p>
<h2>大型の条文</h2>
<p>号の多い条文（例えば <a href=''http://01A-00020000_VELTO''>建築基準法第2条</a>）は、最初に見出しだけを表示します。「ココをクリックすると全文が表示されます。」をクリックすると全文を表示します。</p>
<h2>数字と単位の表記</h2>
<p>条・項の番号と数量は算用数字で、号の番号は漢数字で表記しています。単位は記号で表記しています（メートル→m、平方メートル→㎡、立方メートル→m<sup>3</sup>、平方センチメートル→㎝<sup>2</sup>、メートル毎秒毎秒→m/秒<sup>2</sup>）。</p>
</body>
</html>
');

-- ヴェルト　法令の改正履歴
INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES ('00A-Z0030000-00', '00A-0000-0000-0000-0000', '法令の改正履歴', '', 0, 0, -1);
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0030000-00', 1, '<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=UTF-8">
<title>ヴェルト　法令の改正履歴</title>
<style type="text/css">
<!--
body { font-family: ''ＭＳ Ｐゴシック'', sans-serif; font-size: 10.5pt; color: #202020; background-color: #FFFFFF; }
h1 { font-size: 15pt; color: #203A5C; border-bottom: 2px solid #203A5C; padding-bottom: 2px; }
h2 { font-size: 12pt; color: #203A5C; margin-top: 1.4em; }
table.data { border-collapse: collapse; font-size: 9.0pt; }
table.data th { background-color: #E4ECF4; border: 1px solid #8898A8; padding: 2px 6px; font-weight: normal; }
table.data td { border: 1px solid #8898A8; padding: 2px 6px; text-align: right; }
table.data td.l { text-align: left; }
p.note { font-size: 9pt; color: #505050; }
-->
</style>
</head>
');
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0030000-00', 2, '<body>
<h1>法令の改正履歴</h1>
<p>この版に収録している法令と、反映している改正は次のとおりです。</p>
<table class="data">
<tr><th>法令</th><th>収録範囲</th><th>反映している改正</th></tr>
<tr><td class="l"><a href=''http://01A-00010000_VELTO''>建築基準法</a><br>（昭和25年法律第201号）</td><td class="l">第1条、第2条、第6条、第6条の2、第7条、第20条、第21条、第27条、第28条、第35条、第48条、第52条、第53条、第56条、附則（制定時）、別表第1、別表第2</td><td class="l">令和7年5月16日法律第35号（令和7年12月1日施行）</td></tr>
<tr><td class="l"><a href=''http://01B-00010000_VELTO''>建築基準法施行令</a><br>（昭和25年政令第338号）</td><td class="l">第1条、第2条、第19条、第20条、第22条、第81条、第112条、第126条の2、第126条の3、第129条の6</td><td class="l">令和7年政令第377号（令和7年12月1日施行）</td></tr>
<tr><td class="l"><a href=''http://10A-00010000_VELTO''>ハートビル法</a><br>（平成6年法律第44号）</td><td class="l">第1条</td><td class="l">制定時の条文。平成18年12月20日廃止</td></tr>
<tr><td class="l"><a href=''http://10B-00010000_VELTO''>ハートビル法施行令</a><br>（平成6年政令第311号）</td><td class="l">第1条</td><td class="l">平成15年改正前の条文。平成18年12月20日廃止</td></tr>
<tr><td class="l"><a href=''http://10C-00010000_VELTO''>ハートビル法施行規則</a></td><td class="l">第1条</td><td class="l">平成18年12月20日廃止</td></tr>
</table>
<p class="note">廃止された法令は参考として収録しています。</p>
</body>
</html>
');

-- ヴェルト　告示の改正履歴
INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES ('00A-Z0040000-00', '00A-0000-0000-0000-0000', '告示の改正履歴', '', 0, 0, -1);
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0040000-00', 1, '<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=UTF-8">
<title>ヴェルト　告示の改正履歴</title>
<style type="text/css">
<!--
body { font-family: ''ＭＳ Ｐゴシック'', sans-serif; font-size: 10.5pt; color: #202020; background-color: #FFFFFF; }
h1 { font-size: 15pt; color: #203A5C; border-bottom: 2px solid #203A5C; padding-bottom: 2px; }
h2 { font-size: 12pt; color: #203A5C; margin-top: 1.4em; }
table.data { border-collapse: collapse; font-size: 9.0pt; }
table.data th { background-color: #E4ECF4; border: 1px solid #8898A8; padding: 2px 6px; font-weight: normal; }
table.data td { border: 1px solid #8898A8; padding: 2px 6px; text-align: right; }
table.data td.l { text-align: left; }
p.note { font-size: 9pt; color: #505050; }
-->
</style>
</head>
');
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0040000-00', 2, '<body>
<h1>告示の改正履歴</h1>
<p>この版に収録している告示は次のとおりです。告示のページでは、本文の上に公布と最終改正の年月日を表示します。</p>
<table class="data">
<tr><th>告示</th><th>件名</th><th>公布</th><th>最終改正</th></tr>
<tr><td class="l"><a href=''http://02K-KD121400_VELTO''>平成12年建設省告示第1400号</a></td><td class="l">不燃材料を定める件</td><td class="l">平成12年5月30日</td><td class="l">平成16年9月29日国土交通省告示第1178号</td></tr>
<tr><td class="l"><a href=''http://02K-KD121401_VELTO''>平成12年建設省告示第1401号</a></td><td class="l">準不燃材料を定める件（抄）</td><td class="l">平成12年5月30日</td><td class="l">&nbsp;</td></tr>
<tr><td class="l"><a href=''http://02K-KD121402_VELTO''>平成12年建設省告示第1402号</a></td><td class="l">難燃材料を定める件（抄）</td><td class="l">平成12年5月30日</td><td class="l">&nbsp;</td></tr>
<tr><td class="l"><a href=''http://02K-KD121454_VELTO''>平成12年建設省告示第1454号</a></td><td class="l">Ｅの数値を算出する方法並びにＶ０及び風力係数の数値を定める件（抄）</td><td class="l">平成12年5月31日</td><td class="l">&nbsp;</td></tr>
</table>
</body>
</html>
');

-- 建築設計資料トップページ
INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES ('00A-Z0090000-00', '00A-0000-0000-0000-0000', '建築設計資料', '', 0, 0, -1);
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0090000-00', 1, '<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=UTF-8">
<title>建築設計資料トップページ</title>
<style type="text/css">
<!--
body { font-family: ''ＭＳ Ｐゴシック'', sans-serif; font-size: 10.5pt; color: #202020; background-color: #FFFFFF; }
h1 { font-size: 15pt; color: #203A5C; border-bottom: 2px solid #203A5C; padding-bottom: 2px; }
h2 { font-size: 12pt; color: #203A5C; margin-top: 1.4em; }
table.data { border-collapse: collapse; font-size: 9.0pt; }
table.data th { background-color: #E4ECF4; border: 1px solid #8898A8; padding: 2px 6px; font-weight: normal; }
table.data td { border: 1px solid #8898A8; padding: 2px 6px; text-align: right; }
table.data td.l { text-align: left; }
p.note { font-size: 9pt; color: #505050; }
-->
</style>
</head>
');
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0090000-00', 2, '<body>
<h1>建築設計資料</h1>
<p>構造設計でよく使う形鋼の断面性能表です。</p>
<table border="0" cellpadding="6">
<tr><td><img src="images/basic/angle_equal.gif" width="100" height="100" alt=""></td><td>[L断面性能表－等辺山形鋼/00A-Z0090001L]</td>
<td><img src="images/basic/angle_unequal.gif" width="100" height="100" alt=""></td><td>[L断面性能表－不等辺山形鋼/00A-Z0090002L]</td></tr>
<tr><td><img src="images/basic/angle_unequal_thick.gif" width="100" height="100" alt=""></td><td>[L断面性能表－不等辺不等厚山形鋼/00A-Z0090003L]</td>
<td><img src="images/design/ibeam.gif" width="100" height="100" alt=""></td><td>[L断面性能表－Ｉ形鋼/00A-Z0090004L]</td></tr>
<tr><td><img src="images/design/channel.gif" width="100" height="100" alt=""></td><td>[L断面性能表－溝形鋼/00A-Z0090005L]</td>
<td><img src="images/design/hbeam.gif" width="100" height="100" alt=""></td><td>[L断面性能表－Ｈ形鋼/00A-Z0090006L]</td></tr>
</table>
<p class="note">記号　A・B・H：辺の長さ又は高さ・幅、t・t1・t2：厚さ、r・r1・r2：丸みの半径、I：断面二次モーメント、i：断面二次半径、Z：断面係数。</p>
<p>[L表紙へ戻る/00A-Z0010000L]</p>
</body>
</html>
');

-- 建築設計資料－断面性能表－等辺山形鋼
INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES ('00A-Z0090001-00', '00A-0000-0000-0000-0000', '断面性能表（等辺山形鋼）', '', 0, 0, -1);
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0090001-00', 1, '<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=UTF-8">
<title>建築設計資料－断面性能表－等辺山形鋼</title>
<style type="text/css">
<!--
body { font-family: ''ＭＳ Ｐゴシック'', sans-serif; font-size: 10.5pt; color: #202020; background-color: #FFFFFF; }
h1 { font-size: 15pt; color: #203A5C; border-bottom: 2px solid #203A5C; padding-bottom: 2px; }
h2 { font-size: 12pt; color: #203A5C; margin-top: 1.4em; }
table.data { border-collapse: collapse; font-size: 9.0pt; }
table.data th { background-color: #E4ECF4; border: 1px solid #8898A8; padding: 2px 6px; font-weight: normal; }
table.data td { border: 1px solid #8898A8; padding: 2px 6px; text-align: right; }
table.data td.l { text-align: left; }
p.note { font-size: 9pt; color: #505050; }
-->
</style>
</head>
');
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0090001-00', 2, '<body>
<h1>建築設計資料　断面性能表　等辺山形鋼</h1>
<p>[L建築設計資料トップ/00A-Z0090000L]｜[L表紙/00A-Z0010000L]</p>
<table border="0"><tr><td valign="top"><img src="images/basic/angle_equal.gif" width="200" height="200" alt="等辺山形鋼の断面"></td><td valign="top">
<table class="data">
<tr><th rowspan="2">呼び寸法<br>A×B×t<br>（㎜）</th><th colspan="2">r（㎜）</th><th rowspan="2">断面積<br>（㎝<sup>2</sup>）</th><th rowspan="2">単位質量<br>（kg/m）</th><th colspan="2">重心の位置（㎝）</th><th colspan="2">断面二次モーメント（㎝<sup>4</sup>）</th><th colspan="2">断面二次半径（㎝）</th><th colspan="2">断面係数（㎝<sup>3</sup>）</th></tr>
<tr><th>r1</th><th>r2</th><th>Cx</th><th>Cy</th><th>Ix</th><th>Iy</th><th>ix</th><th>iy</th><th>Zx</th><th>Zy</th></tr>
<tr><td class="l">50×50×4</td><td>6.5</td><td>3</td><td>3.892</td><td>3.06</td><td>1.37</td><td>1.37</td><td>9.06</td><td>9.06</td><td>1.53</td><td>1.53</td><td>2.49</td><td>2.49</td></tr>
<tr><td class="l">50×50×6</td><td>6.5</td><td>4.5</td><td>5.644</td><td>4.43</td><td>1.44</td><td>1.44</td><td>12.6</td><td>12.6</td><td>1.50</td><td>1.50</td><td>3.54</td><td>3.54</td></tr>
<tr><td class="l">65×65×6</td><td>8.5</td><td>4</td><td>7.526</td><td>5.91</td><td>1.81</td><td>1.81</td><td>29.4</td><td>29.4</td><td>1.98</td><td>1.98</td><td>6.26</td><td>6.26</td></tr>
<tr><td class="l">75×75×6</td><td>8.5</td><td>4</td><td>8.726</td><td>6.85</td><td>2.06</td><td>2.06</td><td>46.1</td><td>46.1</td><td>2.30</td><td>2.30</td><td>8.47</td><td>8.47</td></tr>
<tr><td class="l">75×75×9</td><td>8.5</td><td>6</td><td>12.69</td><td>9.96</td><td>2.17</td><td>2.17</td><td>64.4</td><td>64.4</td><td>2.25</td><td>2.25</td><td>12.1</td><td>12.1</td></tr>
<tr><td class="l">90×90×7</td><td>10</td><td>5</td><td>12.22</td><td>9.59</td><td>2.46</td><td>2.46</td><td>93.0</td><td>93.0</td><td>2.76</td><td>2.76</td><td>14.2</td><td>14.2</td></tr>
<tr><td class="l">100×100×7</td><td>10</td><td>5</td><td>13.62</td><td>10.7</td><td>2.71</td><td>2.71</td><td>129</td><td>129</td><td>3.08</td><td>3.08</td><td>17.7</td><td>17.7</td></tr>
</table>
<p class="note">断面性能は、日本産業規格 JIS G 3192（熱間圧延形鋼の形状、寸法、質量及びその許容差）の標準断面寸法（r1、r2 を含む。）から算出した値です。単位質量は密度 7.85 g/㎝<sup>3</sup> として求めています。Cx は長い脚（A）の背面から、Cy は短い脚（B）の背面から重心までの距離、Ix・Zx は B の脚に平行な軸に関する値です。</p>
</td></tr></table>
</body>
</html>
');

-- 建築設計資料－断面性能表－不等辺山形鋼
INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES ('00A-Z0090002-00', '00A-0000-0000-0000-0000', '断面性能表（不等辺山形鋼）', '', 0, 0, -1);
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0090002-00', 1, '<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=UTF-8">
<title>建築設計資料－断面性能表－不等辺山形鋼</title>
<style type="text/css">
<!--
body { font-family: ''ＭＳ Ｐゴシック'', sans-serif; font-size: 10.5pt; color: #202020; background-color: #FFFFFF; }
h1 { font-size: 15pt; color: #203A5C; border-bottom: 2px solid #203A5C; padding-bottom: 2px; }
h2 { font-size: 12pt; color: #203A5C; margin-top: 1.4em; }
table.data { border-collapse: collapse; font-size: 9.0pt; }
table.data th { background-color: #E4ECF4; border: 1px solid #8898A8; padding: 2px 6px; font-weight: normal; }
table.data td { border: 1px solid #8898A8; padding: 2px 6px; text-align: right; }
table.data td.l { text-align: left; }
p.note { font-size: 9pt; color: #505050; }
-->
</style>
</head>
');
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0090002-00', 2, '<body>
<h1>建築設計資料　断面性能表　不等辺山形鋼</h1>
<p>[L建築設計資料トップ/00A-Z0090000L]｜[L表紙/00A-Z0010000L]</p>
<table border="0"><tr><td valign="top"><img src="images/basic/angle_unequal.gif" width="200" height="200" alt="不等辺山形鋼の断面"></td><td valign="top">
<table class="data">
<tr><th rowspan="2">呼び寸法<br>A×B×t<br>（㎜）</th><th colspan="2">r（㎜）</th><th rowspan="2">断面積<br>（㎝<sup>2</sup>）</th><th rowspan="2">単位質量<br>（kg/m）</th><th colspan="2">重心の位置（㎝）</th><th colspan="2">断面二次モーメント（㎝<sup>4</sup>）</th><th colspan="2">断面二次半径（㎝）</th><th colspan="2">断面係数（㎝<sup>3</sup>）</th></tr>
<tr><th>r1</th><th>r2</th><th>Cx</th><th>Cy</th><th>Ix</th><th>Iy</th><th>ix</th><th>iy</th><th>Zx</th><th>Zy</th></tr>
<tr><td class="l">90×75×9</td><td>8.5</td><td>6</td><td>14.04</td><td>11.0</td><td>2.75</td><td>2.00</td><td>109</td><td>68.1</td><td>2.78</td><td>2.20</td><td>17.4</td><td>12.4</td></tr>
<tr><td class="l">100×75×7</td><td>10</td><td>5</td><td>11.87</td><td>9.32</td><td>3.06</td><td>1.83</td><td>118</td><td>56.9</td><td>3.15</td><td>2.19</td><td>17.0</td><td>10.0</td></tr>
<tr><td class="l">100×75×10</td><td>10</td><td>7</td><td>16.50</td><td>13.0</td><td>3.17</td><td>1.94</td><td>159</td><td>76.1</td><td>3.11</td><td>2.15</td><td>23.3</td><td>13.7</td></tr>
<tr><td class="l">125×75×7</td><td>10</td><td>5</td><td>13.62</td><td>10.7</td><td>4.10</td><td>1.64</td><td>219</td><td>60.3</td><td>4.01</td><td>2.11</td><td>26.1</td><td>10.3</td></tr>
<tr><td class="l">125×90×10</td><td>10</td><td>7</td><td>20.50</td><td>16.1</td><td>3.95</td><td>2.22</td><td>318</td><td>138</td><td>3.94</td><td>2.59</td><td>37.2</td><td>20.3</td></tr>
</table>
<p class="note">断面性能は、日本産業規格 JIS G 3192（熱間圧延形鋼の形状、寸法、質量及びその許容差）の標準断面寸法（r1、r2 を含む。）から算出した値です。単位質量は密度 7.85 g/㎝<sup>3</sup> として求めています。Cx は長い脚（A）の背面から、Cy は短い脚（B）の背面から重心までの距離、Ix・Zx は B の脚に平行な軸に関する値です。</p>
</td></tr></table>
</body>
</html>
');

-- 建築設計資料－断面性能表－不等辺不等厚山形鋼
INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES ('00A-Z0090003-00', '00A-0000-0000-0000-0000', '断面性能表（不等辺不等厚山形鋼）', '', 0, 0, -1);
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0090003-00', 1, '<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=UTF-8">
<title>建築設計資料－断面性能表－不等辺不等厚山形鋼</title>
<style type="text/css">
<!--
body { font-family: ''ＭＳ Ｐゴシック'', sans-serif; font-size: 10.5pt; color: #202020; background-color: #FFFFFF; }
h1 { font-size: 15pt; color: #203A5C; border-bottom: 2px solid #203A5C; padding-bottom: 2px; }
h2 { font-size: 12pt; color: #203A5C; margin-top: 1.4em; }
table.data { border-collapse: collapse; font-size: 9.0pt; }
table.data th { background-color: #E4ECF4; border: 1px solid #8898A8; padding: 2px 6px; font-weight: normal; }
table.data td { border: 1px solid #8898A8; padding: 2px 6px; text-align: right; }
table.data td.l { text-align: left; }
p.note { font-size: 9pt; color: #505050; }
-->
</style>
</head>
');
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0090003-00', 2, '<body>
<h1>建築設計資料　断面性能表　不等辺不等厚山形鋼</h1>
<p>[L建築設計資料トップ/00A-Z0090000L]｜[L表紙/00A-Z0010000L]</p>
<table border="0"><tr><td valign="top"><img src="images/basic/angle_unequal_thick.gif" width="200" height="200" alt="不等辺不等厚山形鋼の断面"></td><td valign="top">
<table class="data">
<tr><th rowspan="2">呼び寸法<br>A×B×t1×t2<br>（㎜）</th><th colspan="2">r（㎜）</th><th rowspan="2">断面積<br>（㎝<sup>2</sup>）</th><th rowspan="2">単位質量<br>（kg/m）</th><th colspan="2">重心の位置（㎝）</th><th colspan="2">断面二次モーメント（㎝<sup>4</sup>）</th><th colspan="2">断面二次半径（㎝）</th><th colspan="2">断面係数（㎝<sup>3</sup>）</th></tr>
<tr><th>r1</th><th>r2</th><th>Cx</th><th>Cy</th><th>Ix</th><th>Iy</th><th>ix</th><th>iy</th><th>Zx</th><th>Zy</th></tr>
<tr><td class="l">200×90×9×14</td><td>14</td><td>7</td><td>29.55</td><td>23.2</td><td>6.31</td><td>2.16</td><td>1190</td><td>200</td><td>6.35</td><td>2.60</td><td>87.0</td><td>29.2</td></tr>
<tr><td class="l">250×90×10×15</td><td>17</td><td>8.5</td><td>37.31</td><td>29.3</td><td>8.54</td><td>1.93</td><td>2400</td><td>223</td><td>8.03</td><td>2.44</td><td>146</td><td>31.5</td></tr>
<tr><td class="l">250×90×12×16</td><td>17</td><td>8.5</td><td>42.79</td><td>33.6</td><td>8.93</td><td>1.90</td><td>2750</td><td>238</td><td>8.02</td><td>2.36</td><td>171</td><td>33.5</td></tr>
<tr><td class="l">300×90×11×16</td><td>19</td><td>9.5</td><td>46.03</td><td>36.1</td><td>10.88</td><td>1.77</td><td>4300</td><td>245</td><td>9.66</td><td>2.31</td><td>225</td><td>33.8</td></tr>
<tr><td class="l">300×90×13×17</td><td>19</td><td>9.5</td><td>52.48</td><td>41.2</td><td>11.28</td><td>1.76</td><td>4870</td><td>259</td><td>9.64</td><td>2.22</td><td>260</td><td>35.8</td></tr>
</table>
<p class="note">断面性能は、日本産業規格 JIS G 3192（熱間圧延形鋼の形状、寸法、質量及びその許容差）の標準断面寸法（r1、r2 を含む。）から算出した値です。単位質量は密度 7.85 g/㎝<sup>3</sup> として求めています。Cx は長い脚（A）の背面から、Cy は短い脚（B）の背面から重心までの距離、Ix・Zx は B の脚に平行な軸に関する値です。</p>
</td></tr></table>
</body>
</html>
');

-- 建築設計資料－断面性能表－Ｉ形鋼
INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES ('00A-Z0090004-00', '00A-0000-0000-0000-0000', '断面性能表（Ｉ形鋼）', '', 0, 0, -1);
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0090004-00', 1, '<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=UTF-8">
<title>建築設計資料－断面性能表－Ｉ形鋼</title>
<style type="text/css">
<!--
body { font-family: ''ＭＳ Ｐゴシック'', sans-serif; font-size: 10.5pt; color: #202020; background-color: #FFFFFF; }
h1 { font-size: 15pt; color: #203A5C; border-bottom: 2px solid #203A5C; padding-bottom: 2px; }
h2 { font-size: 12pt; color: #203A5C; margin-top: 1.4em; }
table.data { border-collapse: collapse; font-size: 9.0pt; }
table.data th { background-color: #E4ECF4; border: 1px solid #8898A8; padding: 2px 6px; font-weight: normal; }
table.data td { border: 1px solid #8898A8; padding: 2px 6px; text-align: right; }
table.data td.l { text-align: left; }
p.note { font-size: 9pt; color: #505050; }
-->
</style>
</head>
');
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0090004-00', 2, '<body>
<h1>建築設計資料　断面性能表　Ｉ形鋼</h1>
<p>[L建築設計資料トップ/00A-Z0090000L]｜[L表紙/00A-Z0010000L]</p>
<table border="0"><tr><td valign="top"><img src="images/design/ibeam.gif" width="200" height="200" alt="Ｉ形鋼の断面"></td><td valign="top">
<table class="data">
<tr><th>呼び寸法<br>H×B×t1×t2（㎜）</th><th>r1（㎜）</th><th>r2（㎜）</th><th>断面積<br>（㎝<sup>2</sup>）</th><th>単位質量<br>（kg/m）</th><th>Ix<br>（㎝<sup>4</sup>）</th><th>Iy<br>（㎝<sup>4</sup>）</th><th>ix<br>（㎝）</th><th>iy<br>（㎝）</th><th>Zx<br>（㎝<sup>3</sup>）</th><th>Zy<br>（㎝<sup>3</sup>）</th></tr>
<tr><td class="l">100×75×5×8</td><td>7</td><td>3.5</td><td>16.43</td><td>12.9</td><td>281</td><td>47.3</td><td>4.14</td><td>1.7</td><td>56.2</td><td>12.6</td></tr>
<tr><td class="l">125×75×5.5×9.5</td><td>9</td><td>4.5</td><td>20.45</td><td>16.1</td><td>538</td><td>57.5</td><td>5.13</td><td>1.68</td><td>86</td><td>15.3</td></tr>
<tr><td class="l">150×75×5.5×9.5</td><td>9</td><td>4.5</td><td>21.83</td><td>17.1</td><td>819</td><td>57.5</td><td>6.12</td><td>1.62</td><td>109</td><td>15.3</td></tr>
<tr><td class="l">200×100×7×10</td><td>10</td><td>5</td><td>33.06</td><td>26</td><td>2170</td><td>138</td><td>8.11</td><td>2.05</td><td>217</td><td>27.7</td></tr>
<tr><td class="l">300×150×8×13</td><td>12</td><td>6</td><td>61.58</td><td>48.3</td><td>9480</td><td>588</td><td>12.4</td><td>3.09</td><td>632</td><td>78.4</td></tr>
</table>
<p class="note">JIS G 3192（熱間圧延形鋼の形状、寸法、質量及びその許容差）の標準断面の値です。フランジ内面にはこう配があり、t2 はフランジ先端から B/4 の位置の厚さです。</p>
</td></tr></table>
</body>
</html>
');

-- 建築設計資料－断面性能表－溝形鋼
INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES ('00A-Z0090005-00', '00A-0000-0000-0000-0000', '断面性能表（溝形鋼）', '', 0, 0, -1);
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0090005-00', 1, '<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=UTF-8">
<title>建築設計資料－断面性能表－溝形鋼</title>
<style type="text/css">
<!--
body { font-family: ''ＭＳ Ｐゴシック'', sans-serif; font-size: 10.5pt; color: #202020; background-color: #FFFFFF; }
h1 { font-size: 15pt; color: #203A5C; border-bottom: 2px solid #203A5C; padding-bottom: 2px; }
h2 { font-size: 12pt; color: #203A5C; margin-top: 1.4em; }
table.data { border-collapse: collapse; font-size: 9.0pt; }
table.data th { background-color: #E4ECF4; border: 1px solid #8898A8; padding: 2px 6px; font-weight: normal; }
table.data td { border: 1px solid #8898A8; padding: 2px 6px; text-align: right; }
table.data td.l { text-align: left; }
p.note { font-size: 9pt; color: #505050; }
-->
</style>
</head>
');
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0090005-00', 2, '<body>
<h1>建築設計資料　断面性能表　溝形鋼</h1>
<p>[L建築設計資料トップ/00A-Z0090000L]｜[L表紙/00A-Z0010000L]</p>
<table border="0"><tr><td valign="top"><img src="images/design/channel.gif" width="200" height="200" alt="溝形鋼の断面"></td><td valign="top">
<table class="data">
<tr><th>呼び寸法<br>H×B×t1×t2（㎜）</th><th>r1（㎜）</th><th>r2（㎜）</th><th>断面積<br>（㎝<sup>2</sup>）</th><th>単位質量<br>（kg/m）</th><th>Ix<br>（㎝<sup>4</sup>）</th><th>Iy<br>（㎝<sup>4</sup>）</th><th>ix<br>（㎝）</th><th>iy<br>（㎝）</th><th>Zx<br>（㎝<sup>3</sup>）</th><th>Zy<br>（㎝<sup>3</sup>）</th></tr>
<tr><td class="l">75×40×5×7</td><td>8</td><td>4</td><td>8.818</td><td>6.92</td><td>75.3</td><td>12.2</td><td>2.92</td><td>1.17</td><td>20.1</td><td>4.47</td></tr>
<tr><td class="l">100×50×5×7.5</td><td>8</td><td>4</td><td>11.92</td><td>9.36</td><td>188</td><td>26</td><td>3.97</td><td>1.48</td><td>37.6</td><td>7.52</td></tr>
<tr><td class="l">125×65×6×8</td><td>8</td><td>4</td><td>17.11</td><td>13.4</td><td>424</td><td>61.8</td><td>4.98</td><td>1.9</td><td>67.8</td><td>13.4</td></tr>
<tr><td class="l">150×75×6.5×10</td><td>10</td><td>5</td><td>23.71</td><td>18.6</td><td>861</td><td>117</td><td>6.03</td><td>2.22</td><td>115</td><td>22.4</td></tr>
<tr><td class="l">200×80×7.5×11</td><td>12</td><td>6</td><td>31.33</td><td>24.6</td><td>1950</td><td>168</td><td>7.88</td><td>2.32</td><td>195</td><td>29.1</td></tr>
</table>
<p class="note">JIS G 3192（熱間圧延形鋼の形状、寸法、質量及びその許容差）の標準断面の値です。フランジ内面にはこう配があり、t2 はフランジ先端から B/4 の位置の厚さです。</p>
</td></tr></table>
</body>
</html>
');

-- 建築設計資料－断面性能表－Ｈ形鋼
INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES ('00A-Z0090006-00', '00A-0000-0000-0000-0000', '断面性能表（Ｈ形鋼）', '', 0, 0, -1);
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0090006-00', 1, '<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=UTF-8">
<title>建築設計資料－断面性能表－Ｈ形鋼</title>
<style type="text/css">
<!--
body { font-family: ''ＭＳ Ｐゴシック'', sans-serif; font-size: 10.5pt; color: #202020; background-color: #FFFFFF; }
h1 { font-size: 15pt; color: #203A5C; border-bottom: 2px solid #203A5C; padding-bottom: 2px; }
h2 { font-size: 12pt; color: #203A5C; margin-top: 1.4em; }
table.data { border-collapse: collapse; font-size: 9.0pt; }
table.data th { background-color: #E4ECF4; border: 1px solid #8898A8; padding: 2px 6px; font-weight: normal; }
table.data td { border: 1px solid #8898A8; padding: 2px 6px; text-align: right; }
table.data td.l { text-align: left; }
p.note { font-size: 9pt; color: #505050; }
-->
</style>
</head>
');
INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0090006-00', 2, '<body>
<h1>建築設計資料　断面性能表　Ｈ形鋼</h1>
<p>[L建築設計資料トップ/00A-Z0090000L]｜[L表紙/00A-Z0010000L]</p>
<table border="0"><tr><td valign="top"><img src="images/design/hbeam.gif" width="200" height="200" alt="Ｈ形鋼の断面"></td><td valign="top">
<table class="data">
<tr><th>呼び寸法<br>H×B×t1×t2（㎜）</th><th>r（㎜）</th><th>断面積<br>（㎝<sup>2</sup>）</th><th>単位質量<br>（kg/m）</th><th>Ix<br>（㎝<sup>4</sup>）</th><th>Iy<br>（㎝<sup>4</sup>）</th><th>ix<br>（㎝）</th><th>iy<br>（㎝）</th><th>Zx<br>（㎝<sup>3</sup>）</th><th>Zy<br>（㎝<sup>3</sup>）</th></tr>
<tr><td class="l">100×100×6×8</td><td>8</td><td>21.59</td><td>16.9</td><td>378</td><td>134</td><td>4.18</td><td>2.49</td><td>75.6</td><td>26.7</td></tr>
<tr><td class="l">150×150×7×10</td><td>8</td><td>39.65</td><td>31.1</td><td>1620</td><td>563</td><td>6.40</td><td>3.77</td><td>216</td><td>75.1</td></tr>
<tr><td class="l">200×100×5.5×8</td><td>8</td><td>26.67</td><td>20.9</td><td>1810</td><td>134</td><td>8.23</td><td>2.24</td><td>181</td><td>26.7</td></tr>
<tr><td class="l">200×200×8×12</td><td>13</td><td>63.53</td><td>49.9</td><td>4720</td><td>1600</td><td>8.62</td><td>5.02</td><td>472</td><td>160</td></tr>
<tr><td class="l">300×150×6.5×9</td><td>13</td><td>46.78</td><td>36.7</td><td>7210</td><td>508</td><td>12.41</td><td>3.29</td><td>481</td><td>67.7</td></tr>
<tr><td class="l">300×300×10×15</td><td>13</td><td>118.5</td><td>93.0</td><td>20200</td><td>6750</td><td>13.05</td><td>7.55</td><td>1350</td><td>450</td></tr>
<tr><td class="l">400×200×8×13</td><td>13</td><td>83.37</td><td>65.4</td><td>23500</td><td>1740</td><td>16.77</td><td>4.56</td><td>1170</td><td>174</td></tr>
</table>
<p class="note">断面性能は、日本産業規格 JIS G 3192 の標準断面寸法（フィレット半径 r を含む。）から算出した値です。単位質量は密度 7.85 g/㎝<sup>3</sup> として求めています。</p>
</td></tr></table>
</body>
</html>
');
