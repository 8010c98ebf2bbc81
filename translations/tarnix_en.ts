<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CommandLine</name>
    <message>
        <source>このヘルプを表示して終了します。</source>
        <translation>Show this help and quit.</translation>
    </message>
    <message>
        <source>今回の表示言語（%1）。デスクトップの言語より優先します。</source>
        <translation>Language for this run (%1), instead of the desktop&apos;s.</translation>
    </message>
    <message>
        <source>--lang には %1 のどれかを指定してください。</source>
        <translation>--lang takes one of %1.</translation>
    </message>
    <message>
        <source>リプレイファイル FILE を再生します。</source>
        <translation>Play the replay in FILE.</translation>
    </message>
    <message>
        <source>ゲームの名前とバージョンを表示して終了します。</source>
        <translation>Show the game&apos;s name and version and quit.</translation>
    </message>
    <message>
        <source>フルスクリーンで起動します（今回だけ）。</source>
        <translation>Start in full screen (this run only).</translation>
    </message>
    <message>
        <source>ウィンドウで起動します（今回だけ）。</source>
        <translation>Start in a window (this run only).</translation>
    </message>
    <message>
        <source>画面の大きさ：ゲームの1ドットを N×N に（N は 1～4、今回だけ）。</source>
        <translation>Window size: every game pixel N x N, N from 1 to 4 (this run only).</translation>
    </message>
    <message>
        <source>使い方: %1 [オプション]</source>
        <translation>Usage: %1 [options]</translation>
    </message>
    <message>
        <source>タールニックス：せり上がるブロックの井戸に爆弾を落とすアクションパズル。</source>
        <translation>Tarnix, an action puzzle: bombs in a well of rising blocks.</translation>
    </message>
    <message>
        <source>オプション:</source>
        <translation>Options:</translation>
    </message>
    <message>
        <source>引数 &apos;%1&apos; は使えません。</source>
        <translation>unexpected argument &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>--fullscreen と --windowed は同時には指定できません。</source>
        <translation>--fullscreen and --windowed exclude each other.</translation>
    </message>
    <message>
        <source>--scale には 1、2、3、4 のどれかを指定してください（&apos;%1&apos; は使えません）。</source>
        <translation>--scale takes 1, 2, 3 or 4, not &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>FILE をウィンドウなしで再生し、レベルとスコアを確かめます（一致すれば終了コード 0、打ち切られた記録がそこまで一致すれば 3）。</source>
        <translation>Replay FILE without a window and check its level and score (exit status 0 when they match, 3 when a recording that was cut matches as far as it goes).</translation>
    </message>
    <message>
        <source>使える画面がありません。DISPLAY も WAYLAND_DISPLAY も（-display も）動いているデスクトップにつながらないため、ウィンドウを開けません。</source>
        <translation>no usable display: neither DISPLAY nor WAYLAND_DISPLAY (nor -display) leads to a running desktop session, so the game cannot open its window.</translation>
    </message>
    <message>
        <source>%1 に空の値は指定できません。</source>
        <translation>%1 needs a value that is not empty.</translation>
    </message>
    <message>
        <source>FILE をウィンドウなしで再生し、ゲームの成績（爆弾、連鎖、ギフト、レベルごとの時間、毎分のスコア）を表示します。</source>
        <translation>Replays FILE without a window and prints how the game was played (bombs, chains, gifts, time at each level, score per minute).</translation>
    </message>
    <message>
        <source>--stats の成績を JSON で表示します。</source>
        <translation>Prints the figures of --stats as JSON.</translation>
    </message>
    <message>
        <source>後に続くリプレイファイルを、ウィンドウなしで音つきの動画 FILE.webm（VP9 と Opus）にします。大きさは --scale N（既定は 2）。</source>
        <translation>Makes a video with sound, FILE.webm (VP9 and Opus), of the replay file that follows, without a window. Its size is --scale N (2 unless given).</translation>
    </message>
    <message>
        <source>--export の動画に音を入れません。</source>
        <translation>Leaves the sound out of the video of --export.</translation>
    </message>
    <message>
        <source>--export には動画にするリプレイファイルを続けてください。</source>
        <translation>--export needs the replay file to make the video of after it.</translation>
    </message>
    <message>
        <source>ワールドランキングのアドレス（http://ホスト:ポート）。今回だけ、設定画面のアドレスに代わって使います。</source>
        <translation>The world table&apos;s address (http://HOST:PORT), used for this run instead of the one set on the settings screen.</translation>
    </message>
    <message>
        <source>--world-table の &apos;%1&apos; はアドレスではありません。</source>
        <translation>--world-table: &apos;%1&apos; is not an address.</translation>
    </message>
</context>
<context>
    <name>Export</name>
    <message>
        <source>FFmpeg のライブラリに %1 の符号化器がないため、動画を作れません。</source>
        <translation>No video can be made: FFmpeg&apos;s libraries have no %1 encoder.</translation>
    </message>
    <message>
        <source>動画を作れませんでした（%1）。</source>
        <translation>The video could not be made (%1).</translation>
    </message>
    <message>
        <source>%1 に動画を書けませんでした。</source>
        <translation>The video could not be written to %1.</translation>
    </message>
    <message>
        <source>リプレイの動画を書きました。
%1</source>
        <translation>The replay&apos;s video is written:
%1</translation>
    </message>
    <message>
        <source>動画を作っています…</source>
        <translation>Making the video...</translation>
    </message>
    <message>
        <source>動画はもう作っています…</source>
        <translation>Already making a video...</translation>
    </message>
    <message>
        <source>一時フォルダ %1 にリプレイを書けないため、動画を作れません。</source>
        <translation>No video can be made: the replay cannot be written to the temporary folder %1.</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>タールニックス</source>
        <translation>Tarnix</translation>
    </message>
    <message>
        <source>ゲーム(&amp;G)</source>
        <translation>&amp;Game</translation>
    </message>
    <message>
        <source>タイトルへ戻る(&amp;T)</source>
        <translation>Back to &amp;Title</translation>
    </message>
    <message>
        <source>タールニックスの終了(&amp;X)</source>
        <translation>&amp;Quit Tarnix</translation>
    </message>
    <message>
        <source>オプション(&amp;O)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>効果音(&amp;S)</source>
        <translation>&amp;Sound Effects</translation>
    </message>
    <message>
        <source>ウエイト(&amp;W)</source>
        <translation>S&amp;peed</translation>
    </message>
    <message>
        <source>なし(&amp;1)</source>
        <translation>&amp;1 Fastest</translation>
    </message>
    <message>
        <source>軽い(&amp;2)</source>
        <translation>&amp;2 Fast</translation>
    </message>
    <message>
        <source>普通(&amp;3)</source>
        <translation>&amp;3 Normal</translation>
    </message>
    <message>
        <source>重い(&amp;4)</source>
        <translation>&amp;4 Slow</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Ｒｅａｄｍｅ参照(&amp;R)</source>
        <translation>View &amp;Readme</translation>
    </message>
    <message>
        <source>非アクティブ時に一時停止</source>
        <translation>Pause When Inactive</translation>
    </message>
    <message>
        <source>画面の大きさ</source>
        <translation>Window Size</translation>
    </message>
    <message>
        <source>全画面表示</source>
        <translation>Full Screen</translation>
    </message>
    <message>
        <source>振動</source>
        <translation>Rumble</translation>
    </message>
    <message>
        <source>爆弾に印を付ける</source>
        <translation>Bomb Marks</translation>
    </message>
    <message>
        <source>閃光を控えめに</source>
        <translation>Gentle Flashes</translation>
    </message>
    <message>
        <source>タイトルでデモ</source>
        <translation>Demo on the title</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Push Enter Key</source>
        <translation>Press Enter</translation>
    </message>
    <message>
        <source>Please your name</source>
        <translation>Enter your name</translation>
    </message>
    <message>
        <source>メモ帳が見つからないため参照できません。</source>
        <translation>The readme cannot be shown: no program to open text files was found.</translation>
    </message>
    <message>
        <source>Readmeファイルが見つからないため参照できません。</source>
        <translation>The readme cannot be shown: the file Readme.txt is missing.</translation>
    </message>
    <message>
        <source>設定ファイルが壊れているため
初期状態にクリアして起動します</source>
        <translation>The settings file is damaged.
Starting with default settings and an empty high-score table.</translation>
    </message>
    <message>
        <source>ディスクにアクセスできなかったため
設定及びスコアデータを保存できませんでした。</source>
        <translation>The disk could not be written to.
Settings and high scores were not saved.</translation>
    </message>
    <message>
        <source>読み取りの許可がありません</source>
        <translation>No permission to read it</translation>
    </message>
    <message>
        <source>フォルダであり、通常のファイルではありません</source>
        <translation>It is a folder, not a regular file</translation>
    </message>
    <message>
        <source>名前付きパイプであり、通常のファイルではありません</source>
        <translation>It is a named pipe, not a regular file</translation>
    </message>
    <message>
        <source>ソケットであり、通常のファイルではありません</source>
        <translation>It is a socket, not a regular file</translation>
    </message>
    <message>
        <source>デバイスであり、通常のファイルではありません</source>
        <translation>It is a device, not a regular file</translation>
    </message>
    <message>
        <source>通常のファイルではありません</source>
        <translation>It is not a regular file</translation>
    </message>
    <message>
        <source>設定ファイルを読み込めないため
初期状態で起動します。
このファイルは終了時にも書き換えません。</source>
        <translation>The settings file cannot be read.
Starting with default settings.
The file will not be overwritten when the game closes.</translation>
    </message>
    <message>
        <source>壊れたファイルを %1 として残せませんでした</source>
        <translation>The damaged file could not be kept as %1</translation>
    </message>
    <message>
        <source>リプレイファイルではありません。</source>
        <translation>This is not a replay file.</translation>
    </message>
    <message>
        <source>このリプレイファイルは形式 %1 で書かれています。このゲームが読めるのは形式 %2 だけです。</source>
        <translation>This replay file is written in format %1. This game reads format %2 only.</translation>
    </message>
    <message>
        <source>このリプレイはルール %1 で記録されています。このゲームのルールは %2 なので、再生も検証もできません。</source>
        <translation>This replay was recorded under rules %1. This game plays by rules %2, so it can neither play nor verify it.</translation>
    </message>
    <message>
        <source>リプレイファイルが壊れています（途中で切れているか、書き換えられています）。</source>
        <translation>The replay file is damaged (cut short or edited).</translation>
    </message>
    <message>
        <source>リプレイファイルが大きすぎます。</source>
        <translation>The replay file is too large.</translation>
    </message>
    <message>
        <source>リプレイファイルを読めません。</source>
        <translation>The replay file cannot be read.</translation>
    </message>
    <message>
        <source>%1:赤&#x3000;%2:青&#x3000;%4:決定&#x3000;%5:タイトル&#x3000;%3:設定</source>
        <translation>%1 red  %2 blue  %4 go  %5 title  %3 settings</translation>
    </message>
    <message>
        <source>そのようなファイルはありません</source>
        <translation>there is no such file</translation>
    </message>
    <message>
        <source>%1 を読み込めません（%2）。</source>
        <translation>%1 cannot be read (%2).</translation>
    </message>
    <message>
        <source>リプレイファイルに、ゲームでは起こりえない数（1 パスに %1 を超える）の入力があります。</source>
        <translation>The replay file holds more inputs at once (over %1 in one pass) than any game can make.</translation>
    </message>
    <message>
        <source>記録はここで打ち切られています（入力が多すぎたため）。ゲームはこの先も続きましたが、再生できるのはここまでです。</source>
        <translation>The recording was cut here (too many inputs). The game went on, but the replay ends here.</translation>
    </message>
    <message>
        <source>オプションのファイル tarnix.conf を %1 に書き込めませんでした。</source>
        <translation>the options file tarnix.conf could not be written in %1</translation>
    </message>
    <message>
        <source>ワールドランキングに送るゲームを保存できませんでした。</source>
        <translation>The game could not be kept for the world table.</translation>
    </message>
    <message>
        <source>ワールドランキングに接続できません：%1</source>
        <translation>The world table cannot be reached: %1</translation>
    </message>
    <message>
        <source>ワールドランキングからの返答：%1</source>
        <translation>The world table says: %1</translation>
    </message>
    <message>
        <source>ワールドランキングの返答を読めませんでした。</source>
        <translation>The world table answered something this game cannot read.</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>言語</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>キーとボタン</source>
        <translation>Keys and Buttons</translation>
    </message>
    <message>
        <source>入</source>
        <translation>On</translation>
    </message>
    <message>
        <source>切</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>%1:決定&#x3000;%2:戻る</source>
        <translation>%1: choose  %2: back</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>初期設定に戻す</source>
        <translation>Back to the Defaults</translation>
    </message>
    <message>
        <source>左へ歩く</source>
        <translation>Walk left</translation>
    </message>
    <message>
        <source>右へ歩く</source>
        <translation>Walk right</translation>
    </message>
    <message>
        <source>赤い爆弾</source>
        <translation>Red bomb</translation>
    </message>
    <message>
        <source>青い爆弾</source>
        <translation>Blue bomb</translation>
    </message>
    <message>
        <source>投げる</source>
        <translation>Throw</translation>
    </message>
    <message>
        <source>落とす</source>
        <translation>Drop</translation>
    </message>
    <message>
        <source>一時停止</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>次の列</source>
        <translation>Next row</translation>
    </message>
    <message>
        <source>キーを押してください (Delete で空に)</source>
        <translation>Press a key (Delete empties)</translation>
    </message>
    <message>
        <source>ボタンを押してください (Delete で空に)</source>
        <translation>Press a button (Delete empties)</translation>
    </message>
    <message>
        <source>入れ替えました</source>
        <translation>Swapped</translation>
    </message>
    <message>
        <source>キーのない操作はできません</source>
        <translation>Every action needs a key</translation>
    </message>
    <message>
        <source>ワールドランキング</source>
        <translation>World table</translation>
    </message>
    <message>
        <source>今日のチャレンジ</source>
        <translation>Today&apos;s challenge</translation>
    </message>
    <message>
        <source>キーボードで入力、BackSpace で消す</source>
        <translation>Type on the keyboard, BackSpace erases</translation>
    </message>
    <message>
        <source>↑↓:文字を選ぶ&#x3000;→:次へ&#x3000;←:消す</source>
        <translation>↑↓: letter  →: next  ←: take back</translation>
    </message>
    <message>
        <source>Enter/Start:決定&#x3000;Esc:取り消し</source>
        <translation>Enter/Start: keep  Esc: cancel</translation>
    </message>
    <message>
        <source>空にするとワールドランキングを使いません</source>
        <translation>Empty: no world table</translation>
    </message>
    <message>
        <source>http://ホスト:ポート の形で入力してください</source>
        <translation>Write it as http://host:port</translation>
    </message>
    <message>
        <source>ボタンのない操作はできません</source>
        <translation>Every action needs a button</translation>
    </message>
</context>
<context>
    <name>Stats</name>
    <message>
        <source>赤 %1、青 %2</source>
        <translation>red %1, blue %2</translation>
    </message>
    <message>
        <source>時間</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>%1 パス</source>
        <translation>%1 passes</translation>
    </message>
    <message>
        <source>スコア</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>毎分 %1</source>
        <translation>%1 a minute</translation>
    </message>
    <message>
        <source>レベル</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>投げた爆弾</source>
        <translation>Bombs thrown</translation>
    </message>
    <message>
        <source>落とした爆弾</source>
        <translation>Bombs dropped</translation>
    </message>
    <message>
        <source>壊したブロック</source>
        <translation>Blocks broken</translation>
    </message>
    <message>
        <source>連鎖（段数×回数）</source>
        <translation>Chains (generations×times)</translation>
    </message>
    <message>
        <source>最長の連鎖</source>
        <translation>Longest chain</translation>
    </message>
    <message>
        <source>取ったギフト</source>
        <translation>Gifts taken</translation>
    </message>
    <message>
        <source>レベルごとの時間</source>
        <translation>Time at each level</translation>
    </message>
</context>
<context>
    <name>Theatre</name>
    <message>
        <source>連鎖</source>
        <translation>chain</translation>
    </message>
    <message>
        <source>レベル</source>
        <translation>level-up</translation>
    </message>
    <message>
        <source>ギフト</source>
        <translation>gift</translation>
    </message>
    <message>
        <source>パス</source>
        <translation>pass</translation>
    </message>
    <message>
        <source>Enter 一時停止  ←→ コマ送り/10秒  ↑↓ 速さ  0-9 移動  E 動画</source>
        <translation>Enter pause  ←→ step/10 s  ↑↓ speed  0-9 seek  E video</translation>
    </message>
    <message>
        <source>Z/X 次/前の印  Space 印の種類  S 成績  G パス  Esc 終わる</source>
        <translation>Z/X next/prev mark  Space mark  S figures  G pass  Esc stop</translation>
    </message>
    <message>
        <source>移動先のパス: %1_   Enter 移動  Esc やめる</source>
        <translation>Go to pass: %1_   Enter go  Esc cancel</translation>
    </message>
    <message>
        <source>%1 一時停止  ✚←→ コマ送り/10秒  ✚↑↓ 速さ  %2 動画</source>
        <translation>%1 pause  ✚←→ step/10 s  ✚↑↓ speed  %2 video</translation>
    </message>
    <message>
        <source>%1/%2 次/前の印  %3 印の種類  %4 成績  %5 終わる</source>
        <translation>%1/%2 next/prev mark  %3 mark  %4 figures  %5 stop</translation>
    </message>
</context>
<context>
    <name>Verify</name>
    <message>
        <source>ゲームオーバー</source>
        <translation>game over</translation>
    </message>
    <message>
        <source>タイトルへ戻る</source>
        <translation>back to the title</translation>
    </message>
    <message>
        <source>ウィンドウを閉じる</source>
        <translation>quit</translation>
    </message>
    <message>
        <source>記録の打ち切り</source>
        <translation>cut</translation>
    </message>
    <message>
        <source>%1: レベル %2、スコア %3、%4 パス目で%5</source>
        <translation>%1: level %2, score %3, %5 at pass %4</translation>
    </message>
    <message>
        <source>再生</source>
        <translation>replayed</translation>
    </message>
    <message>
        <source>記録と違う終わり</source>
        <translation>a different end</translation>
    </message>
    <message>
        <source>記録</source>
        <translation>recorded</translation>
    </message>
</context>
<context>
    <name>World</name>
    <message>
        <source>ワールドランキングのアドレスがありません。タイトルで Esc を押し、設定で入れてください。</source>
        <translation>No world table address: press Esc on the title and set one in the settings.</translation>
    </message>
    <message>
        <source>←→:ワールドランキング&#x3000;%1:送る&#x3000;%2:挑戦</source>
        <translation>←→: world  %1: send  %2: race</translation>
    </message>
    <message>
        <source>世界のベスト100</source>
        <translation>World&apos;s best 100</translation>
    </message>
    <message>
        <source>今日のランキング</source>
        <translation>Today&apos;s board</translation>
    </message>
    <message>
        <source>←→:表示の切り替え&#x3000;↑↓:選ぶ</source>
        <translation>←→: boards  ↑↓: choose</translation>
    </message>
    <message>
        <source>%1:再生&#x3000;%2:挑戦&#x3000;%3:戻る</source>
        <translation>%1: watch  %2: race  %3: back</translation>
    </message>
    <message>
        <source>ワールドランキングに送っています…</source>
        <translation>Sending to the world table…</translation>
    </message>
    <message>
        <source>↑↓ でゲームを選んでください。</source>
        <translation>Choose a game with ↑↓ first.</translation>
    </message>
    <message>
        <source>このゲームとのレースは始められませんでした。</source>
        <translation>The race against this game could not be started.</translation>
    </message>
    <message>
        <source>リプレイを読み込んでいます…</source>
        <translation>Loading the replay…</translation>
    </message>
    <message>
        <source>このリプレイは再生できません：%1</source>
        <translation>This replay cannot be played: %1</translation>
    </message>
    <message>
        <source>ワールドランキングの %1 位に入りました。</source>
        <translation>Accepted: #%1 on the world table.</translation>
    </message>
    <message>
        <source>このゲームはもうワールドランキングの %1 位にあります。</source>
        <translation>Already on the world table: #%1.</translation>
    </message>
    <message>
        <source>取っておいたゲームがワールドランキングの %1 位に入りました。</source>
        <translation>A kept game reached the world table: #%1.</translation>
    </message>
    <message>
        <source>ワールドランキングに受け付けられませんでした。%1</source>
        <translation>The world table refused the game. %1</translation>
    </message>
    <message>
        <source>今日のチャレンジはルール %1 のゲームです。このゲームのルールは %2 なので遊べません。</source>
        <translation>Today&apos;s challenge is played under rules %1; this game plays rules %2, so it cannot take part.</translation>
    </message>
    <message>
        <source>今日のチャレンジはタイトルから始めてください。</source>
        <translation>Start today&apos;s challenge from the title.</translation>
    </message>
    <message>
        <source>今は送れません。ゲームは取っておき、あとで送ります。（%1）</source>
        <translation>Cannot send now: the game is kept and will be sent later. (%1)</translation>
    </message>
    <message>
        <source>今日のチャレンジを受け取れませんでした。%1</source>
        <translation>Today&apos;s challenge could not be fetched. %1</translation>
    </message>
    <message>
        <source>リプレイを受け取れませんでした。%1</source>
        <translation>The replay could not be fetched. %1</translation>
    </message>
    <message>
        <source>%1:ワールドランキングに送る</source>
        <translation>%1: send to the world table</translation>
    </message>
    <message>
        <source>今日のチャレンジを受け取っています…</source>
        <translation>Fetching today&apos;s challenge…</translation>
    </message>
    <message>
        <source>読み込み中…</source>
        <translation>Loading…</translation>
    </message>
    <message>
        <source>まだ誰もいません。</source>
        <translation>No games yet.</translation>
    </message>
</context>
</TS>
