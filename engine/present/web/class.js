// クラスの様子: the teacher's page. Students' records come from their QR
// codes through the device's camera (a maintained decoder, zxing-cpp's
// WebAssembly build) or from their hand-in files, and are read by the same
// C++ codec the practice program writes them with (create_class_reader).
// What was read is kept on this device only, per class label and day.
'use strict';
(async () => {
  const $ = id => document.getElementById(id);
  // What a test run looks at.
  const probes = window.lkClass = {ready: false, reads: 0, refusals: 0, lastReadAt: 0, frames: 0,
                                   frameAt: 0, decodeMs: [], errors: []};
  const status = $('status');
  const say = (text, bad = false) => {
    status.textContent = text;
    status.className = bad ? 'bad' : '';
  };

  // ---- The codec ----
  const reader = await create_class_reader();
  const answer = pointer => JSON.parse(reader.UTF8ToString(pointer));
  const tables = answer(reader._lk_class_tables());
  const readBytes = bytes => {
    const at = reader._malloc(Math.max(bytes.length, 1));
    reader.HEAPU8.set(bytes, at);
    try {
      return answer(reader._lk_class_read_bytes(at, bytes.length));
    } finally {
      reader._free(at);
    }
  };
  const readText = text => {
    const size = reader.lengthBytesUTF8(text) + 1;
    const at = reader._malloc(size);
    reader.stringToUTF8(text, at, size);
    try {
      return answer(reader._lk_class_read_file(at));
    } finally {
      reader._free(at);
    }
  };

  // ---- What is kept: per class label and day, every seat's record ----
  const today = () => {
    const d = new Date();
    return `${d.getFullYear()}-${String(d.getMonth() + 1).padStart(2, '0')}-${String(d.getDate()).padStart(2, '0')}`;
  };
  $('day').value = today();
  let students = {};  // seat -> {record, readAt}
  let storageBroken = false;
  const key = () => `lessonkit.class:${$('label').value.trim()}:${$('day').value}`;
  const load = () => {
    students = {};
    try {
      const text = localStorage.getItem(key());
      if (text) students = JSON.parse(text).students || {};
    } catch (e) {
      say('この端末の保存場所が使えません。読んだ記録は、このページを開いている間だけ表に残ります。', true);
    }
  };
  const save = () => {
    try {
      localStorage.setItem(key(), JSON.stringify({version: 1, students}));
      storageBroken = false;
    } catch (e) {
      storageBroken = true;
    }
  };
  let settings = {};
  try {
    settings = JSON.parse(localStorage.getItem('lessonkit.class') || '{}');
  } catch (e) { /* no storage: the defaults */ }
  $('label').value = settings.label || '';
  $('size').value = settings.size || 35;
  const keepSettings = () => {
    try {
      localStorage.setItem('lessonkit.class', JSON.stringify({label: $('label').value.trim(), size: $('size').value}));
    } catch (e) { /* said when a record is kept */ }
  };

  // ---- The table ----
  const setNames = tables.sets;  // the menu's order
  const cellText = set => {
    if (!set) return ['まだ', 'none'];
    switch (set.state) {
      case 'stuck': return ['つまずき', 'stuck'];
      case 'review': return [set.again ? 'もう一度' : '復習', 'review'];
      case 'star': return ['★', 'star'];
      case 'working': return ['連続' + set.streak, 'working'];
      default: return ['まだ', 'none'];
    }
  };
  const setOf = (record, code) => record && record.sets.find(s => s.code === code);
  // Per set, how many students made each typical mistake.
  const mistakesOf = code => {
    const counts = new Map();
    for (const {record} of Object.values(students)) {
      const set = setOf(record, code);
      if (!set) continue;
      for (const m of set.mistakes) counts.set(m.name, (counts.get(m.name) || 0) + 1);
    }
    return [...counts.entries()].sort((a, b) => b[1] - a[1]);
  };
  let marked = 0;
  const draw = () => {
    const size = Math.max(Number($('size').value) || 0, ...Object.keys(students).map(Number), 1);
    const head = document.createElement('tr');
    head.innerHTML = '<th scope="col">出席番号</th>';
    for (const s of setNames) {
      const th = document.createElement('th');
      th.scope = 'col';
      th.textContent = s.name;
      head.appendChild(th);
    }
    const th = document.createElement('th');
    th.textContent = '読んだ時刻';
    head.appendChild(th);
    $('table').tHead.replaceChildren(head);
    const rows = [];
    for (let seat = 1; seat <= Math.min(size, 50); ++seat) {
      const tr = document.createElement('tr');
      const entry = students[seat];
      tr.className = entry ? (seat === marked ? 'marked' : '') : 'unread';
      tr.dataset.seat = seat;
      const name = document.createElement('th');
      name.scope = 'row';
      name.textContent = seat;
      tr.appendChild(name);
      for (const s of setNames) {
        const set = entry && setOf(entry.record, s.code);
        const [text, kind] = entry ? cellText(set) : ['', 'unread'];
        const td = document.createElement('td');
        td.textContent = text;
        td.className = kind;
        if (set) {
          td.title = `${set.tried}問中${set.solved}問正解　今日${set.todayTried}問（一度で正解${set.todayFirst}問）` +
                     `　ヒント${set.hints}回　答えを見た${set.shown}問　最近${set.last}` +
                     set.mistakes.map(m => `　${m.name} ${m.count}回`).join('');
        }
        tr.appendChild(td);
      }
      const when = document.createElement('td');
      when.textContent = entry ? entry.readAt : 'まだ読んでいません';
      tr.appendChild(when);
      rows.push(tr);
    }
    $('table').tBodies[0].replaceChildren(...rows);
    const foot = document.createElement('tr');
    foot.innerHTML = '<th scope="row">多いつまずき</th>';
    for (const s of setNames) {
      const td = document.createElement('td');
      td.textContent = mistakesOf(s.code).slice(0, 3).map(([n, c]) => `${n} ${c}人`).join('、');
      foot.appendChild(td);
    }
    foot.appendChild(document.createElement('td'));
    $('table').tFoot.replaceChildren(foot);
    drawSummary();
  };

  // ---- The projection: counts only, no seats ----
  const drawSummary = () => {
    const label = $('label').value.trim();
    $('projection-title').textContent = `${label ? label + '　' : ''}${$('day').value}　${Object.keys(students).length}人`;
    const sections = [];
    for (const s of setNames) {
      const counts = {star: 0, working: 0, stuck: 0, review: 0};
      let any = false;
      for (const {record} of Object.values(students)) {
        const set = setOf(record, s.code);
        if (!set || set.state === 'none') continue;
        any = true;
        counts[set.state] += 1;
      }
      if (!any) continue;
      const section = document.createElement('section');
      const add = (tag, text, cls) => {
        const el = document.createElement(tag);
        el.textContent = text;
        if (cls) el.className = cls;
        section.appendChild(el);
      };
      add('h3', s.name);
      add('p', `★ ${counts.star}人　練習中 ${counts.working}人`);
      add('p', `つまずき ${counts.stuck}人　復習 ${counts.review}人`);
      for (const [n, c] of mistakesOf(s.code).slice(0, 2)) add('p', `${n} ${c}人`, 'mistake');
      sections.push(section);
    }
    $('summary').replaceChildren(...sections);
  };

  // ---- Reading a record ----
  const now = () => new Date().toLocaleTimeString('ja-JP', {hour: '2-digit', minute: '2-digit', second: '2-digit'});
  const refuse = (what, message) => {
    probes.refusals += 1;
    const li = document.createElement('li');
    li.textContent = what ? `${what}：${message}` : message;
    $('refusals').prepend(li);
    while ($('refusals').children.length > 8) $('refusals').lastChild.remove();
  };
  // Takes a read record; false (with a word) when it is not for this table.
  const take = (read, what) => {
    if (!read.ok) {
      refuse(what, read.error);
      return false;
    }
    const record = read.record;
    if (record.seat < 1) {
      refuse(what, '出席番号のない記録です。生徒の画面で出席番号を入れてもらってください。');
      return false;
    }
    const label = $('label').value.trim();
    if (!label && record.label) {
      $('label').value = record.label;
      keepSettings();
      load();
    } else if (label && record.label && record.label !== label) {
      refuse(what, `クラス ${record.label} の記録です（この表はクラス ${label}）。`);
      return false;
    }
    students[record.seat] = {record, readAt: now()};
    marked = record.seat;
    save();
    probes.reads += 1;
    probes.lastReadAt = performance.now();
    return true;
  };
  const afterTaking = (seat, how) => {
    draw();
    say(`出席番号 ${seat} を${how}。` +
        (storageBroken ? '（この端末に保存できません。表はこのページを開いている間だけ残ります。）' : ''),
        storageBroken);
  };

  // ---- Files ----
  const readFiles = async files => {
    let taken = 0, last = 0;
    for (const file of files) {
      if (file.size > 64 * 1024) {
        refuse(file.name, '記録のファイルにしては大きすぎます。');
        continue;
      }
      let text;
      try {
        text = await file.text();
      } catch (e) {
        refuse(file.name, 'ファイルを読めませんでした。');
        continue;
      }
      if (take(readText(text), file.name)) {
        taken += 1;
        last = marked;
      }
    }
    draw();
    if (taken === 1) afterTaking(last, 'ファイルから読みました');
    else if (taken > 1) say(`${taken}人分のファイルを読みました。`, storageBroken);
    else say('読める記録はありませんでした。', true);
  };
  $('files-open').addEventListener('click', () => $('files').click());
  $('files').addEventListener('change', () => {
    readFiles([...$('files').files]);
    $('files').value = '';
  });
  const drop = $('drop');
  document.addEventListener('dragover', e => {
    e.preventDefault();
    drop.classList.add('over');
  });
  document.addEventListener('dragleave', () => drop.classList.remove('over'));
  document.addEventListener('drop', e => {
    e.preventDefault();
    drop.classList.remove('over');
    if (e.dataTransfer && e.dataTransfer.files.length) readFiles([...e.dataTransfer.files]);
  });

  // ---- The camera ----
  let zxingReady = null;
  const zxing = () => {
    if (!zxingReady) {
      const base64 = document.getElementById('zxing-wasm').textContent.trim();
      const binary = Uint8Array.from(atob(base64), c => c.charCodeAt(0));
      // Compiled and started now, before the first frame waits for it.
      zxingReady = Promise.resolve(ZXingWASM.prepareZXingModule({overrides: {wasmBinary: binary.buffer},
                                                                fireImmediately: true}))
        .then(() => ZXingWASM);
    }
    return zxingReady;
  };
  let beeper = null;
  const beep = () => {
    try {
      beeper = beeper || new (window.AudioContext || window.webkitAudioContext)();
      const tone = beeper.createOscillator(), gain = beeper.createGain();
      tone.frequency.value = 1320;
      gain.gain.value = 0.15;
      tone.connect(gain).connect(beeper.destination);
      tone.start();
      tone.stop(beeper.currentTime + 0.08);
    } catch (e) { /* no sound: the mark still shows */ }
  };
  let stream = null, lastCode = '', lastCodeAt = 0;
  const kScanWidth = 800;
  const stopCamera = () => {
    if (stream) for (const track of stream.getTracks()) track.stop();
    stream = null;
    $('camera-box').classList.remove('on');
    $('camera-start').textContent = 'カメラで読む';
  };
  const scan = async video => {
    const canvas = document.createElement('canvas');
    const ctx = canvas.getContext('2d', {willReadFrequently: true});
    const {readBarcodes} = await zxing();
    while (stream) {
      if (video.readyState >= 2 && video.videoWidth > 0) {
        // At most kScanWidth across: a code held up to the camera still has
        // modules of several pixels, and the decoder takes a fraction of the
        // time of a full HD frame.
        const scale = Math.min(1, kScanWidth / video.videoWidth);
        canvas.width = Math.round(video.videoWidth * scale);
        canvas.height = Math.round(video.videoHeight * scale);
        ctx.drawImage(video, 0, 0, canvas.width, canvas.height);
        const frameAt = performance.now();
        probes.frames += 1;
        probes.frameAt = frameAt;
        let results = [];
        try {
          results = await readBarcodes(ctx.getImageData(0, 0, canvas.width, canvas.height),
                                       {formats: ['QRCode'], tryHarder: true, maxNumberOfSymbols: 4});
        } catch (e) {
          probes.errors.push(String(e));
        }
        probes.decodeMs.push(performance.now() - frameAt);
        if (probes.decodeMs.length > 1000) probes.decodeMs.shift();
        for (const result of results) {
          if (!result.isValid) continue;
          const bytes = result.bytes;
          const id = Array.from(bytes).join(',');
          // The same code held in front of the camera is read once.
          if (id === lastCode && performance.now() - lastCodeAt < 3000) continue;
          lastCode = id;
          lastCodeAt = performance.now();
          if (take(readBytes(bytes), 'カメラ')) {
            probes.frameToRow = performance.now() - frameAt;
            afterTaking(marked, 'カメラで読みました');
            beep();
            $('camera-box').classList.add('seen');
            setTimeout(() => $('camera-box').classList.remove('seen'), 600);
          }
        }
      }
      await new Promise(resolve => setTimeout(resolve, 60));
    }
  };
  $('camera-start').addEventListener('click', async () => {
    if (stream) {
      stopCamera();
      return;
    }
    if (!window.isSecureContext) {
      say('このページは http で開かれているので、カメラを使えません（https か、この端末のファイルとして開いてください）。ファイルで読むことはできます。', true);
      return;
    }
    if (!navigator.mediaDevices || !navigator.mediaDevices.getUserMedia) {
      say('この端末ではカメラを使えません。ファイルで読んでください。', true);
      return;
    }
    try {
      stream = await navigator.mediaDevices.getUserMedia({video: {facingMode: {ideal: 'environment'}}, audio: false});
    } catch (e) {
      stream = null;
      say(e && e.name === 'NotAllowedError'
        ? 'カメラの使用が許可されませんでした。ブラウザの設定で許可するか、ファイルで読んでください。'
        : 'カメラが見つからないか、使えませんでした。ファイルで読んでください。', true);
      return;
    }
    const video = $('camera');
    await zxing();
    video.srcObject = stream;
    await video.play().catch(() => {});
    $('camera-box').classList.add('on');
    $('camera-words').textContent = '生徒の「先生に見せる」の画面のコードを、カメラに向けてください。';
    $('camera-start').textContent = 'カメラを止める';
    say('カメラで読んでいます。');
    scan(video).catch(e => probes.errors.push(String(e)));
  });

  // ---- The rest of the header ----
  $('project').addEventListener('click', () => {
    document.body.classList.toggle('projecting');
    $('project').textContent = document.body.classList.contains('projecting') ? '表に戻る' : '投影';
  });
  $('palette').addEventListener('click', () => document.body.classList.toggle('projector'));
  for (const id of ['label', 'day']) $(id).addEventListener('change', () => {
    keepSettings();
    load();
    draw();
  });
  $('size').addEventListener('change', () => {
    keepSettings();
    draw();
  });
  $('csv').addEventListener('click', () => {
    const quote = v => /[",\n]/.test(String(v)) ? `"${String(v).replace(/"/g, '""')}"` : String(v);
    const lines = [['出席番号', 'セット', '状態', '解いた数', '正解', '連続', '今日', '今日一度で正解', 'ヒント',
                    '答えを見た', 'つまずき'].join(',')];
    for (const seat of Object.keys(students).map(Number).sort((a, b) => a - b)) {
      for (const s of students[seat].record.sets) {
        lines.push([seat, s.name, cellText(s)[0], s.tried, s.solved, s.streak, s.todayTried, s.todayFirst, s.hints,
                    s.shown, s.mistakes.map(m => `${m.name} ${m.count}`).join(' / ')].map(quote).join(','));
      }
    }
    const blob = new Blob(['\uFEFF' + lines.join('\r\n') + '\r\n'], {type: 'text/csv'});
    const a = document.createElement('a');
    a.href = URL.createObjectURL(blob);
    a.download = `class-${$('label').value.trim() || 'class'}-${$('day').value}.csv`;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(a.href), 60000);
  });
  $('clear').addEventListener('click', () => {
    $('clear-confirm').classList.add('on');
    say('この表の記録をすべて消しますか。', true);
  });
  $('clear-no').addEventListener('click', () => {
    $('clear-confirm').classList.remove('on');
    say('消しませんでした。');
  });
  $('clear-yes').addEventListener('click', () => {
    $('clear-confirm').classList.remove('on');
    students = {};
    try {
      localStorage.removeItem(key());
    } catch (e) { /* nothing kept to remove */ }
    draw();
    say('この表の記録を消しました。');
  });

  // ---- Teacher to class: the practice page's address with a request ----
  for (const s of setNames) {
    const label = document.createElement('label');
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.value = s.id;
    label.append(box, ' ' + s.name);
    $('give-sets').appendChild(label);
  }
  $('give-show').addEventListener('click', () => {
    const chosen = [...$('give-sets').querySelectorAll('input:checked')].map(b => b.value);
    const count = Number($('give-count').value);
    const out = $('give-code');
    out.replaceChildren();
    if (!chosen.length || !(count >= 1 && count <= 50)) {
      say('セットを選び、問題の数を 1 から 50 で入れてください。', true);
      return;
    }
    if (location.protocol === 'file:') {
      say('ファイルとして開いたページには、生徒の端末で開けるアドレスがありません。サイトから開いたページで出してください。', true);
      return;
    }
    const url = new URL('practicelesson.html', location.href);
    url.hash = `v1;s=${chosen.join(',')};n=${count}`;
    const code = qrcodegen.QrCode.encodeText(url.href, qrcodegen.QrCode.Ecc.MEDIUM);
    const quiet = 4, scale = 8, side = (code.size + 2 * quiet) * scale;
    const canvas = document.createElement('canvas');
    canvas.width = canvas.height = side;
    const ctx = canvas.getContext('2d');
    ctx.fillStyle = '#ffffff';
    ctx.fillRect(0, 0, side, side);
    ctx.fillStyle = '#000000';
    for (let y = 0; y < code.size; ++y)
      for (let x = 0; x < code.size; ++x)
        if (code.getModule(x, y)) ctx.fillRect((x + quiet) * scale, (y + quiet) * scale, scale, scale);
    canvas.setAttribute('role', 'img');
    canvas.setAttribute('aria-label', '今日の問題のQRコード');
    const words = document.createElement('p');
    words.id = 'give-url';
    words.textContent = url.href;
    out.append(canvas, words);
    probes.giveUrl = url.href;
    say('生徒の端末のカメラでこのコードを読むと、今日の問題が始まります。');
  });

  // A test's way to the decoder and the codec without a camera: the seat
  // a picture's code gives (0 for none) and the time it took.
  probes.decode = async imageData => {
    const {readBarcodes} = await zxing();
    const started = performance.now();
    const results = await readBarcodes(imageData, {formats: ['QRCode'], tryHarder: true, maxNumberOfSymbols: 4});
    const ms = performance.now() - started;
    const found = results.find(r => r.isValid);
    const read = found ? readBytes(found.bytes) : {ok: false};
    return {read: read.ok ? read.record.seat : 0, ms};
  };

  load();
  draw();
  probes.ready = true;
  say('カメラで読むか、ファイルを開いてください。');
})().catch(e => {
  (window.lkClass || (window.lkClass = {errors: []})).errors.push(String(e));
  document.getElementById('status').textContent = 'ページを始められませんでした：' + e;
});
