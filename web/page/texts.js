"use strict";
// The words of the desktop program's windows that the core does not hold; the core's own
// messages (read, write, refusals) come with its answers.
const TEXTS = {
    staleQuestion: "ワークシートは最後の「座 標 読 込」の後に変更されています。",
    staleButtons: ["読み込み直して出力", "読み込んだ座標で出力", "キャンセル"],
    replaceQuestion:
        "ワークシートには前の座標が入っています。前の座標を消して新しい座標に置き換えますか？",
    replaceButtons: ["置き換える", "上から貼り付ける", "キャンセル"],
    newSheetQuestion:
        "ワークシートを最初の状態に戻します。入力した座標はすべて消えます（「元に戻す」で取り消せます）。",
    newSheetButtons: ["新しい座標表にする", "キャンセル"],
    writeTitle: "SCR作成",
    previewTitle: "図面プレビュー",
    ok: "OK",
    counts: (points, lines, circles, labels) =>
        `測点 ${points}　線 ${lines}　円 ${circles}　文字 ${labels}`,
    // Where the files went when the browser downloads them.
    downloads: "ダウンロード",
    folderUnchosen: "（未選択：ダウンロードします）",
    // The usage window's word on where this page puts the scripts (the steps speak of drive C).
    usageFolder: (folder) => folder
        ? `このページでは、スクリプトは「出力先…」で選んだフォルダ「${folder}」に作成されます。`
        : "このページでは、スクリプトはブラウザの「ダウンロード」フォルダに作成されます。",
    folderAsk: "（次の出力で書き込みの許可を確認します）",
    noFolderApi: "このブラウザはフォルダに書き込めません。.SCR 出力ではファイルをダウンロードします。",
    folderFailed: (folder, why) => `出力先のフォルダ「${folder}」に書き込めませんでした。\n${why}`,
    folderDenied: (folder) =>
        `出力先のフォルダ「${folder}」への書き込みが許可されませんでした。ファイルをダウンロードします。`,
    openTitle: "座標ファイルを開く",
    openFailed: (name, why) => `座標ファイルを開けません: ${name}\n${why}`,
    // The name of an export of the core's format table; the SIMA file's site name is its
    // name without ".sim".
    exportName: (format) =>
        ({ sima: "座標", "area-csv": "求積表" }[format.token] || "図面") + format.extension,
    pointTooltip: (name, row, x, y) => `${name}\n行 ${row}　X ${x}　Y ${y}`,
};
