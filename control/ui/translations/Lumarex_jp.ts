<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>BluetoothEnumerator</name>
    <message>
        <source>no Bluetooth adapter</source>
        <translation>Bluetooth アダプターがありません</translation>
    </message>
</context>
<context>
    <name>BluetoothInterface</name>
    <message>
        <source>Not connected</source>
        <translation>未接続</translation>
    </message>
    <message>
        <source>connecting</source>
        <translation>接続中</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>接続済み</translation>
    </message>
    <message>
        <source>Closing</source>
        <translation>切断中</translation>
    </message>
    <message>
        <source>Unknown status</source>
        <translation>不明な状態</translation>
    </message>
</context>
<context>
    <name>ConfigDlg</name>
    <message>
        <source>Network Adapter</source>
        <translation>ネットワークアダプター</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>接続</translation>
    </message>
    <message>
        <source>Operator mode</source>
        <translation>操作モード</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>Broadcast</source>
        <translation>ブロードキャスト</translation>
    </message>
    <message>
        <source>Ethernet</source>
        <translation>イーサネット</translation>
    </message>
    <message>
        <source>Bluetooth</source>
        <translation>Bluetooth</translation>
    </message>
    <message>
        <source>Full control</source>
        <translation>フルコントロール</translation>
    </message>
    <message>
        <source>Filming only</source>
        <translation>撮影のみ</translation>
    </message>
    <message>
        <source>Playback only</source>
        <translation>再生のみ</translation>
    </message>
    <message>
        <source>General options</source>
        <translation>一般設定</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>戻る</translation>
    </message>
</context>
<context>
    <name>FormatSelector</name>
    <message>
        <source>Fractional</source>
        <translation>分数</translation>
    </message>
</context>
<context>
    <name>FwUpdDlg</name>
    <message>
        <source>Velmor Firmware update</source>
        <translation>Velmor ファームウェア更新</translation>
    </message>
    <message>
        <source>Firmware file:</source>
        <translation>ファームウェアファイル:</translation>
    </message>
    <message>
        <source>Select File...</source>
        <translation>ファイルを選択...</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>準備完了</translation>
    </message>
    <message>
        <source>The Velmor is writing its flash. Do not switch it off.</source>
        <translation>Velmor はフラッシュに書き込み中です。電源を切らないでください。</translation>
    </message>
    <message>
        <source>Update Firmware</source>
        <translation>ファームウェアを更新</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>中止</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Firmware files (*.mcs)</source>
        <translation>ファームウェアファイル (*.mcs)</translation>
    </message>
    <message>
        <source>The process has been aborted</source>
        <translation>処理は中止されました</translation>
    </message>
    <message>
        <source>Aborted</source>
        <translation>中止しました</translation>
    </message>
</context>
<context>
    <name>GenlockStatus</name>
    <message>
        <source>Locked</source>
        <translation>ロック</translation>
    </message>
    <message>
        <source>Not Locked</source>
        <translation>未ロック</translation>
    </message>
    <message>
        <source>Not Detected</source>
        <translation>未検出</translation>
    </message>
    <message>
        <source>Detected Genlock</source>
        <translation>検出された Genlock</translation>
    </message>
    <message>
        <source>Oscillator: </source>
        <translation>発振器: </translation>
    </message>
</context>
<context>
    <name>InfoDlg</name>
    <message>
        <source>VLM Velmor Name</source>
        <translation>VLM Velmor 名</translation>
    </message>
    <message>
        <source>VLM Velmor Serial No</source>
        <translation>VLM Velmor シリアル番号</translation>
    </message>
    <message>
        <source>VLM Velmor Version</source>
        <translation>VLM Velmor バージョン</translation>
    </message>
    <message>
        <source>Firmware Version</source>
        <translation>ファームウェアバージョン</translation>
    </message>
    <message>
        <source>Board Version</source>
        <translation>ボードバージョン</translation>
    </message>
    <message>
        <source>No of Disks</source>
        <translation>ディスク数</translation>
    </message>
    <message>
        <source>Ethernet 1G MAC Address</source>
        <translation>イーサネット 1G MAC アドレス</translation>
    </message>
    <message>
        <source>Ethernet 1G IP Address</source>
        <translation>イーサネット 1G IP アドレス</translation>
    </message>
    <message>
        <source>Ethernet 10G 0 MAC Address</source>
        <translation>イーサネット 10G 0 MAC アドレス</translation>
    </message>
    <message>
        <source>Ethernet 10G 0 IP Address</source>
        <translation>イーサネット 10G 0 IP アドレス</translation>
    </message>
    <message>
        <source>Ethernet 10G 1 MAC Address</source>
        <translation>イーサネット 10G 1 MAC アドレス</translation>
    </message>
    <message>
        <source>Ethernet 10G 1 IP Address</source>
        <translation>イーサネット 10G 1 IP アドレス</translation>
    </message>
    <message>
        <source>This value cannot be changed.</source>
        <translation>この値は変更できません。</translation>
    </message>
    <message>
        <source>A serial number reads VLMV-nnnn-nnnn, with at most 4 digits in each part.</source>
        <translation>シリアル番号は VLMV-nnnn-nnnn の形式で、各部分は最大 4 桁です。</translation>
    </message>
    <message>
        <source>An IP address is four numbers of 0 to 255 separated by dots, not 0.0.0.0.</source>
        <translation>IP アドレスはドットで区切った 0～255 の 4 つの数値です (0.0.0.0 は不可)。</translation>
    </message>
    <message>
        <source>A MAC address is six pairs of hexadecimal digits separated by &quot;:&quot; or &quot;-&quot;.</source>
        <translation>MAC アドレスは ":" または "-" で区切った 16 進数 2 桁の 6 組です。</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>情報</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>戻る</translation>
    </message>
</context>
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
    <message>
        <source>Bluetooth: %1</source>
        <translation>Bluetooth: %1</translation>
    </message>
</context>
<context>
    <name>McsImage</name>
    <message>
        <source>Unable to parse MCS firmware file.</source>
        <translation>MCS ファームウェアファイルを解析できません。</translation>
    </message>
    <message>
        <source>The firmware image needs %1 packets, more than the Velmor can verify (%2).</source>
        <translation>ファームウェアイメージには %1 パケットが必要で、Velmor が検証できる数 (%2) を超えています。</translation>
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
        <source>Camera</source>
        <translation>カメラ</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>画像</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>時間</translation>
    </message>
    <message>
        <source>** Clip acquired with a different camera **</source>
        <translation>** 別のカメラで撮影されたクリップ **</translation>
    </message>
    <message>
        <source>Clip info</source>
        <translation>クリップ情報</translation>
    </message>
    <message>
        <source>** No Clips **</source>
        <translation>** クリップなし **</translation>
    </message>
    <message>
        <source>Clip </source>
        <translation>クリップ </translation>
    </message>
    <message>
        <source>Info: N/A</source>
        <translation>情報: なし</translation>
    </message>
    <message>
        <source>Delete latest clip</source>
        <translation>最新クリップを削除</translation>
    </message>
    <message>
        <source>Delete all clips</source>
        <translation>全クリップを削除</translation>
    </message>
</context>
<context>
    <name>QConfigSelToolbar</name>
    <message>
        <source>Record Parameters</source>
        <translation>録画パラメーター</translation>
    </message>
    <message>
        <source>Paint Parameters</source>
        <translation>ペイントパラメーター</translation>
    </message>
    <message>
        <source>Genlock (Generator Locking)</source>
        <translation>Genlock (ジェネレーターロック)</translation>
    </message>
    <message>
        <source>Motorized Lens Control</source>
        <translation>電動レンズ制御</translation>
    </message>
    <message>
        <source>Camera / Velmor Output</source>
        <translation>カメラ / Velmor 出力</translation>
    </message>
    <message>
        <source>Paint Configuration</source>
        <translation>ペイント設定</translation>
    </message>
    <message>
        <source>Genlock Configuration</source>
        <translation>Genlock 設定</translation>
    </message>
    <message>
        <source>Lens Configuration</source>
        <translation>レンズ設定</translation>
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
        <source>%1 %2 is outside what the camera takes: %3 is sent.</source>
        <translation>%1 %2 はカメラが受け付ける範囲外です: %3 を送信します。</translation>
    </message>
    <message>
        <source>120 Fps Live</source>
        <translation>120 Fps ライブ</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>通常</translation>
    </message>
    <message>
        <source>Swapped</source>
        <translation>入れ替え</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>出力</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>オプション</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>チャンネル</translation>
    </message>
    <message>
        <source>LIVE</source>
        <translation>ライブ</translation>
    </message>
    <message>
        <source>PLAYBACK</source>
        <translation>再生</translation>
    </message>
    <message>
        <source>Focus</source>
        <translation>フォーカス</translation>
    </message>
    <message>
        <source>Iris</source>
        <translation>アイリス</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>ズーム</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>中央</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>リセット</translation>
    </message>
    <message>
        <source>Alignment</source>
        <translation>アライメント</translation>
    </message>
    <message>
        <source>Gain</source>
        <translation>ゲイン</translation>
    </message>
    <message>
        <source>Pedestal</source>
        <translation>ペデスタル</translation>
    </message>
    <message>
        <source>Flare</source>
        <translation>フレア</translation>
    </message>
    <message>
        <source>Detail</source>
        <translation>ディテール</translation>
    </message>
    <message>
        <source>Misc</source>
        <translation>その他</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>赤</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>緑</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>青</translation>
    </message>
    <message>
        <source>Balance</source>
        <translation>バランス</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>レベル</translation>
    </message>
    <message>
        <source>Saturation</source>
        <translation>彩度</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>ガンマ</translation>
    </message>
    <message>
        <source>Color Temp</source>
        <translation>色温度</translation>
    </message>
    <message>
        <source>Misc %1</source>
        <translation>その他 %1</translation>
    </message>
    <message>
        <source>Align</source>
        <translation>揃える</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>既定値</translation>
    </message>
    <message>
        <source>Activate</source>
        <translation>有効</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>ステップ</translation>
    </message>
</context>
<context>
    <name>QMultiRecorderMgr</name>
    <message>
        <source>The firmware cannot be updated over Bluetooth. Connect the Velmor over Ethernet.</source>
        <translation>Bluetooth ではファームウェアを更新できません。Velmor を Ethernet で接続してください。</translation>
    </message>
    <message>
        <source>No Velmor is open.</source>
        <translation>開いている Velmor がありません。</translation>
    </message>
</context>
<context>
    <name>QPlaybackBar</name>
    <message>
        <source>First frame</source>
        <translation>最初のフレーム</translation>
    </message>
    <message>
        <source>Previous frame</source>
        <translation>前のフレーム</translation>
    </message>
    <message>
        <source>Rewind</source>
        <translation>巻き戻し</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>一時停止</translation>
    </message>
    <message>
        <source>Fast forward</source>
        <translation>早送り</translation>
    </message>
    <message>
        <source>Next frame</source>
        <translation>次のフレーム</translation>
    </message>
    <message>
        <source>Latest frame</source>
        <translation>最後のフレーム</translation>
    </message>
    <message>
        <source>Direct/Loop</source>
        <translation>ダイレクト/ループ</translation>
    </message>
    <message>
        <source>Half speed</source>
        <translation>速度半分</translation>
    </message>
    <message>
        <source>Double speed</source>
        <translation>速度2倍</translation>
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
    <message>
        <source>Edit</source>
        <translation>編集</translation>
    </message>
    <message>
        <source>Edit Velmor IP address</source>
        <translation>Velmor の IP アドレスを編集</translation>
    </message>
    <message>
        <source>IP address:</source>
        <translation>IP アドレス:</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an IP address the Velmor can take: the address stays %2.</source>
        <translation>"%1" は Velmor が使用できる IP アドレスではありません。アドレスは %2 のままです。</translation>
    </message>
</context>
<context>
    <name>RecorderFirmwareProgrammer</name>
    <message>
        <source>Unable to open firmware file.</source>
        <translation>ファームウェアファイルを開けません。</translation>
    </message>
    <message>
        <source>Initializing enivronment...</source>
        <translation>環境を初期化しています...</translation>
    </message>
    <message>
        <source>Time out waiting for reply.</source>
        <translation>応答待ちがタイムアウトしました。</translation>
    </message>
    <message>
        <source>Initializing...</source>
        <translation>初期化しています...</translation>
    </message>
    <message>
        <source>Detected CRC Error, aborting...</source>
        <translation>CRC エラーを検出しました。中止します...</translation>
    </message>
    <message>
        <source>Calculating CRC...</source>
        <translation>CRC を計算しています...</translation>
    </message>
    <message>
        <source>Recovering packets...</source>
        <translation>パケットを回復しています...</translation>
    </message>
    <message>
        <source>Failed to start flash write procedure.</source>
        <translation>フラッシュ書き込みを開始できませんでした。</translation>
    </message>
    <message>
        <source>Initiating write...</source>
        <translation>書き込みを開始しています...</translation>
    </message>
    <message>
        <source>Flash successfully programmed!</source>
        <translation>フラッシュの書き込みに成功しました!</translation>
    </message>
    <message>
        <source>Writing to Flash %1%</source>
        <translation>フラッシュに書き込み中 %1%</translation>
    </message>
    <message>
        <source>The Velmor answers but the update does not go on: stopped.</source>
        <translation>Velmor は応答していますが更新が進みません。停止しました。</translation>
    </message>
</context>
<context>
    <name>TouchPad</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
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
