<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>MainWindow</name>
    <message>
        <source>VLM Velmor Control</source>
        <translation>VLM Velmor コントロール</translation>
    </message>
    <message>
        <source>VLM Velmors</source>
        <translation>VLM Velmor 一覧</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>切断</translation>
    </message>
    <message>
        <source>Previous Velmor</source>
        <translation>前の Velmor</translation>
    </message>
    <message>
        <source>Next Velmor</source>
        <translation>次の Velmor</translation>
    </message>
    <message>
        <source>Recording video...
Click the REC button to stop.</source>
        <translation>録画中...
停止するには REC ボタンを押してください。</translation>
    </message>
    <message>
        <source>Loading calibration
Please wait!</source>
        <translation>キャリブレーションを読み込み中
お待ちください！</translation>
    </message>
    <message>
        <source>The latest clip will be deleted. Continue?</source>
        <translation>最新のクリップを削除します。続行しますか？</translation>
    </message>
    <message>
        <source>Formatting the SSD will delete all clips. Continue?</source>
        <translation>SSD をフォーマットするとすべてのクリップが削除されます。続行しますか？</translation>
    </message>
    <message>
        <source>The Velmor has not sent its information yet.</source>
        <translation>Velmor からまだ情報が届いていません。</translation>
    </message>
    <message>
        <source>VLM Velmor Name</source>
        <translation>VLM Velmor 名</translation>
    </message>
    <message>
        <source>VLM Velmor Serial No</source>
        <translation>VLM Velmor シリアル番号</translation>
    </message>
    <message>
        <source>Firmware Version</source>
        <translation>ファームウェアバージョン</translation>
    </message>
    <message>
        <source>VLM Velmor Version</source>
        <translation>VLM Velmor バージョン</translation>
    </message>
    <message>
        <source>The firmware update is not part of this version.</source>
        <translation>このバージョンにはファームウェア更新は含まれていません。</translation>
    </message>
    <message>
        <source>More than %1 Velmors answered. Only the first %1 are listed.</source>
        <translation>%1 台を超える Velmor が応答しました。最初の %1 台のみ表示します。</translation>
    </message>
    <message>
        <source>Initializing the Velmor(s)
Please wait!</source>
        <translation>Velmor を初期化中
お待ちください！</translation>
    </message>
    <message>
        <source>The Velmor(s) could not be opened.</source>
        <translation>Velmor を開けませんでした。</translation>
    </message>
    <message>
        <source>The Velmor IP address will be changed. Continue?</source>
        <translation>Velmor の IP アドレスを変更します。続行しますか？</translation>
    </message>
    <message>
        <source>The new IP address could not be sent.</source>
        <translation>新しい IP アドレスを送信できませんでした。</translation>
    </message>
    <message>
        <source>No answer from %1.
Check that the Velmor is switched on and connected.</source>
        <translation>%1 から応答がありません。
Velmor の電源と接続を確認してください。</translation>
    </message>
</context>
<context>
    <name>QBtnToolbar</name>
    <message>
        <source>Enumerate Cameras</source>
        <translation>カメラを検索</translation>
    </message>
    <message>
        <source>General options</source>
        <translation>一般設定</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>戻る</translation>
    </message>
    <message>
        <source>Start/Stop Recording</source>
        <translation>録画の開始/停止</translation>
    </message>
    <message>
        <source>Update Velmor Firmware</source>
        <translation>Velmor ファームウェアを更新</translation>
    </message>
    <message>
        <source>Show Velmor info</source>
        <translation>Velmor 情報を表示</translation>
    </message>
</context>
<context>
    <name>QClipsBar</name>
    <message>
        <source>VLM Velmor Free Disk</source>
        <translation>VLM Velmor ディスク空き容量</translation>
    </message>
    <message>
        <source>No Clips</source>
        <translation>クリップなし</translation>
    </message>
    <message>
        <source>Clip %1 of %2</source>
        <translation>クリップ %1 / %2</translation>
    </message>
</context>
<context>
    <name>QConfigToolbar</name>
    <message>
        <source>Fps</source>
        <translation>フレームレート</translation>
    </message>
    <message>
        <source>Shutter</source>
        <translation>シャッター</translation>
    </message>
    <message>
        <source>SDI Format</source>
        <translation>SDI フォーマット</translation>
    </message>
    <message>
        <source>Genlock</source>
        <translation>ゲンロック</translation>
    </message>
</context>
<context>
    <name>QSelToolbar</name>
    <message>
        <source>Recording</source>
        <translation>録画</translation>
    </message>
    <message>
        <source>Playback</source>
        <translation>再生</translation>
    </message>
</context>
<context>
    <name>RecLabel</name>
    <message>
        <source>Camera</source>
        <translation>カメラ</translation>
    </message>
    <message>
        <source>Open together with the recorder clicked</source>
        <translation>クリックしたレコーダーと一緒に開く</translation>
    </message>
</context>
<context>
    <name>UdpInterface</name>
    <message>
        <source>Not connected</source>
        <translation>未接続</translation>
    </message>
    <message>
        <source>Disconnected (Time out)</source>
        <translation>切断（タイムアウト）</translation>
    </message>
    <message>
        <source>Connected to </source>
        <translation>接続先 </translation>
    </message>
    <message>
        <source>Unknown status</source>
        <translation>不明な状態</translation>
    </message>
</context>
</TS>
