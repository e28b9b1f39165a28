#include "app/command_table.h"

namespace velto {

namespace {

constexpr CommandInfo kCommands[] = {
    {cmd::Back, "戻る", "一つ戻ります。\n一つ戻ります。（Alt+← または Ctrl+←）"},
    {cmd::Forward, "進む", "一つ進みます。\n一つ進みます。（Alt+→ または Ctrl+→）"},
    {cmd::Previous, "前へ", "一つ前の条文へ移動します。\n一つ前の条文へ移動します。（Up Key）"},
    {cmd::Next, "次へ", "次の条文へ移動します。\n次の条文へ移動します。（Down Key）"},
    {cmd::Synchro, "同期", "目次又はリストと同期します。\n目次又はリストと同期します。"},
    {cmd::Refer, "参照", "参照リンクを表示します。\n参照リンクを表示します。"},
    {cmd::Brachet, "括弧", "括弧で括られた文字列を色分けします。\n括弧で括られた文字列を色分けします。"},
    {cmd::ArabicNumbers, "条項番号を算用数字で表示",
     "条・項・号の番号を算用数字で表示します。\n条項番号を算用数字で表示"},
    {cmd::PinPoint, "狙撃", "ピンポイントジャンプを作動します。\nピンポイントジャンプを作動します。"},
    {cmd::CitedBy, "この条を引用している条文",
     "表示中の条を引用している条文の一覧をページの横に表示します。\nこの条を引用している条文"},
    {cmd::CompareEditions, "改正比較",
     "法令の二つの版を比べ、改正された条と新旧対照を表示します。\n改正比較（新旧対照）"},
    {cmd::ArticleHistory, "この条の改正", "表示中の条が改正された版を一覧し、新旧対照を表示します。\nこの条の改正"},
    {cmd::TermMarks, "定義語に下線を引く",
     "定義された用語に点線の下線を引き、マウスを置くと定義を表示します。\n定義語に下線を引く"},
    {cmd::FindInPage, "検索", ""},
    {cmd::FindNext, "次を検索", "次の検索箇所へ移動します。\n次を検索（F3）"},
    {cmd::FindPrevious, "前を検索", "前の検索箇所へ移動します。\n前を検索（Shift+F3）"},
    {cmd::CopyProvision, "条文をコピー", "条文を全文コピーします（引用と施行日付き）。\n条文をコピー"},
    {cmd::OpenBelow, "下のペインで開く", "リンク先を下のペインで開きます。\n下のペインで開く（Shift+クリック）"},
    {cmd::ClearMarks, "反転マークのクリア", ""},
    {cmd::Copy, "ｺﾋﾟｰ(&C)", "選択範囲をｺﾋﾟｰしてｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存\nｺﾋﾟｰ"},
    {cmd::Print, "印刷(&P)", "印刷します。\n印刷します。"},
    {cmd::PrintPreview, "印刷プレビュー(&V)", "印刷プレビューを表示します。\n印刷プレビューを表示します。"},
    {cmd::Options, "オプション設定(&O)", ""},
    {cmd::Topmost, "手前", "常に手前に表示します。\n常に手前に表示します。"},
    {cmd::DesignData, "資料", "建築設計資料のページを表示します。\n建築設計資料のページを表示します。"},
    {cmd::Split, "ウィンドウの動的分割", ""},
    {cmd::Cover, "表紙(&C)", "表紙を表示します。\n表紙を表示します。"},
    {cmd::Legend, "凡例(&L)", "凡例を表示します。\n凡例を表示します。"},
    {cmd::LawHistory, "法令の改正履歴(&R)", "法令の改正履歴を表示します。\n法令の改正履歴を表示します。"},
    {cmd::NoticeHistory, "告示の改正履歴(&K)", "告示の改正履歴を表示します。\n告示の改正履歴を表示します。"},
    {cmd::EasterEgg, "イースターエッグ", ""},
    {cmd::SupportSite, "サポートサイト(&S)", "ヴェルトのサポートサイトを開きます。\nヴェルトのサポートサイトを開きます。"},
    {cmd::Help, "ヘルプ(&H)", "ヘルプを表示します。\nヘルプを表示します。"},
    {cmd::Version, "バージョン情報(&A)", "プログラムのバージョン情報を表示します。\nプログラムのバージョン情報を表示します。"},
    {cmd::Exit, "アプリケーションの終了(&X)", "アプリケーションを終了します。\n終了"},
};

constexpr std::pair<int, std::string_view> kPages[] = {
    {cmd::Cover, "00A-Z0010000-00"},      {cmd::Legend, "00A-Z0020000-00"},     {cmd::LawHistory, "00A-Z0030000-00"},
    {cmd::NoticeHistory, "00A-Z0040000-00"}, {cmd::DesignData, "00A-Z0090000-00"}, {cmd::EasterEgg, "00A-Z0000000-00"},
};

} // namespace

const CommandInfo* command_info(int id)
{
    for (const CommandInfo& c : kCommands)
        if (c.id == id)
            return &c;
    return nullptr;
}

std::string_view command_prompt(int id)
{
    const CommandInfo* c = command_info(id);
    if (!c)
        return {};
    return c->prompt_and_tip.substr(0, c->prompt_and_tip.find('\n'));
}

std::string_view command_tip(int id)
{
    const CommandInfo* c = command_info(id);
    if (!c)
        return {};
    const std::size_t nl = c->prompt_and_tip.find('\n');
    return nl == std::string_view::npos ? std::string_view() : c->prompt_and_tip.substr(nl + 1);
}

std::string_view command_page(int id)
{
    for (const auto& [command, page] : kPages)
        if (command == id)
            return page;
    return {};
}

} // namespace velto
