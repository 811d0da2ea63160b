<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en">
<context>
    <name>Plumoxa</name>
    <message>
        <source>%@ [%d files]</source>
        <translation>%@ [%d 個のファイル]</translation>
    </message>
    <message>
        <source>%@: %@</source>
        <translation>%@: %@</translation>
    </message>
    <message>
        <source>%@: %@ of %@</source>
        <translation>%@: %@ / %@</translation>
    </message>
    <message>
        <source>%d skipped entries were kept at the source</source>
        <translation>スキップした %d 個の項目はコピー元に残しました</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Server</source>
        <translation>サーバ(&amp;S)</translation>
    </message>
    <message>
        <source>CHMOD failed</source>
        <translation>アクセス権の変更に失敗しました</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Change Mode...</source>
        <translation>アクセス権の変更...</translation>
    </message>
    <message>
        <source>Change Setting</source>
        <translation>設定の変更</translation>
    </message>
    <message>
        <source>Clear Menu</source>
        <translation>メニューを消去</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>接続</translation>
    </message>
    <message>
        <source>Connection setting</source>
        <translation>接続設定</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>コピー</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>カット</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>Description:</source>
        <translation>説明:</translation>
    </message>
    <message>
        <source>Directory:</source>
        <translation>ディレクトリ:</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>切断</translation>
    </message>
    <message>
        <source>Do the same for the rest</source>
        <translation>以降も同じ処理をする</translation>
    </message>
    <message>
        <source>Download...</source>
        <translation>ダウンロード...</translation>
    </message>
    <message>
        <source>Fetching:</source>
        <translation>ダウンロード中:</translation>
    </message>
    <message>
        <source>Go to Directory...</source>
        <translation>ディレクトリへ移動...</translation>
    </message>
    <message>
        <source>Go to directory</source>
        <translation>ディレクトリへ移動</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>グループ</translation>
    </message>
    <message>
        <source>Input password</source>
        <translation>パスワードを入力してください</translation>
    </message>
    <message>
        <source>Input user name</source>
        <translation>ユーザ名を入力してください</translation>
    </message>
    <message>
        <source>Invalid URL</source>
        <translation>URL が正しくありません</translation>
    </message>
    <message>
        <source>Invalid mode format</source>
        <translation>アクセス権の形式が正しくありません</translation>
    </message>
    <message>
        <source>LIST failed</source>
        <translation>一覧の取得に失敗しました</translation>
    </message>
    <message>
        <source>MKD failed</source>
        <translation>ディレクトリの作成に失敗しました</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>アクセス権</translation>
    </message>
    <message>
        <source>Mode:</source>
        <translation>アクセス権:</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>名前:</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新規</translation>
    </message>
    <message>
        <source>New Directory...</source>
        <translation>新規ディレクトリ...</translation>
    </message>
    <message>
        <source>No</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <source>No connect settings</source>
        <translation>接続設定がありません</translation>
    </message>
    <message>
        <source>Open Recent</source>
        <translation>最近使った項目を開く</translation>
    </message>
    <message>
        <source>Open...</source>
        <translation>開く...</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>上書き</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>所有者</translation>
    </message>
    <message>
        <source>Parent Directory</source>
        <translation>親ディレクトリ</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>パスワード:</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>貼り付け</translation>
    </message>
    <message>
        <source>Paste from File Manager</source>
        <translation>ファイルマネージャから貼り付け</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>REN failed</source>
        <translation>名前の変更に失敗しました</translation>
    </message>
    <message>
        <source>RETR failed</source>
        <translation>ダウンロードに失敗しました</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>やり直す</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>再読み込み</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Rename...</source>
        <translation>名前の変更...</translation>
    </message>
    <message>
        <source>STOR failed</source>
        <translation>アップロードに失敗しました</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>別名で保存...</translation>
    </message>
    <message>
        <source>Save the changes to %@?</source>
        <translation>%@ の変更を保存しますか?</translation>
    </message>
    <message>
        <source>Saving:</source>
        <translation>保存中:</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Setting...</source>
        <translation>設定...</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>サイズ</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>スキップ</translation>
    </message>
    <message>
        <source>Storing:</source>
        <translation>アップロード中:</translation>
    </message>
    <message>
        <source>The document %@ could not be opened.</source>
        <translation>書類 %@ を開けませんでした。</translation>
    </message>
    <message>
        <source>The document %@ could not be saved.</source>
        <translation>書類 %@ を保存できませんでした。</translation>
    </message>
    <message>
        <source>Time-out (seconds):</source>
        <translation>タイムアウト(秒):</translation>
    </message>
    <message>
        <source>URL:</source>
        <translation>URL:</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>取り消す</translation>
    </message>
    <message>
        <source>Unknown command</source>
        <translation>不明なコマンドです</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>名称未設定</translation>
    </message>
    <message>
        <source>Upload...</source>
        <translation>アップロード...</translation>
    </message>
    <message>
        <source>User name:</source>
        <translation>ユーザ名:</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>are you remove</source>
        <translation>選択した項目を削除しますか?</translation>
    </message>
    <message>
        <source>cannot paste a folder into itself</source>
        <translation>フォルダをそれ自身の中に貼り付けることはできません</translation>
    </message>
    <message>
        <source>chmod</source>
        <translation>アクセス権の変更</translation>
    </message>
    <message>
        <source>connect failed</source>
        <translation>接続に失敗しました</translation>
    </message>
    <message>
        <source>dir not found</source>
        <translation>ディレクトリが見つかりません</translation>
    </message>
    <message>
        <source>file save failed</source>
        <translation>ファイルを保存できませんでした</translation>
    </message>
    <message>
        <source>invalid mode string</source>
        <translation>アクセス権は 0 から 7 の数字 3 桁で入力してください</translation>
    </message>
    <message>
        <source>invalid path name</source>
        <translation>名前に使えない文字が含まれています</translation>
    </message>
    <message>
        <source>mkdir</source>
        <translation>新規ディレクトリ</translation>
    </message>
    <message>
        <source>remove failed</source>
        <translation>%@ を削除できませんでした</translation>
    </message>
    <message>
        <source>ren</source>
        <translation>名前の変更</translation>
    </message>
    <message>
        <source>retrieve failed</source>
        <translation>%@ をダウンロードできませんでした</translation>
    </message>
    <message>
        <source>same path exist</source>
        <translation>%@ は既に存在します</translation>
    </message>
    <message>
        <source>source file not found</source>
        <translation>コピー元のファイルが見つかりません</translation>
    </message>
    <message>
        <source>specify directory name</source>
        <translation>ディレクトリ名を入力してください</translation>
    </message>
    <message>
        <source>specify file name</source>
        <translation>ファイル名を入力してください</translation>
    </message>
    <message>
        <source>the source window is busy</source>
        <translation>コピー元のウィンドウは処理中です</translation>
    </message>
    <message>
        <source>unsafe name refused: %@</source>
        <translation>安全でない名前を拒否しました: %@</translation>
    </message>
</context>
</TS>
