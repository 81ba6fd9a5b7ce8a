// A zip of a few files and back, for "Save my files" and "Load files":
// stored entries are written, dated; stored and deflated ones are read,
// only those asked for and only as far as asked: the rest of an archive is
// never read. Errors carry a code (notZip, damagedZip, unknownPacking) that
// the page tells in its own words.
const crcTable = (() => {
  const table = new Uint32Array(256);
  for (let n = 0; n < 256; n++) {
    let c = n;
    for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    table[n] = c >>> 0;
  }
  return table;
})();

export function crc32(bytes) {
  let c = 0xffffffff;
  for (const b of bytes) c = crcTable[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

// A date as the zip's MS-DOS time and date fields (local time, two-second
// steps); dates before 1980 cannot be written and become 1980-01-01.
function dosDateTime(date) {
  if (date.getFullYear() < 1980) return { time: 0, date: (1 << 5) | 1 };
  return {
    time: (date.getHours() << 11) | (date.getMinutes() << 5) | (date.getSeconds() >> 1),
    date: ((date.getFullYear() - 1980) << 9) | ((date.getMonth() + 1) << 5) | date.getDate(),
  };
}

// files: [{ name, bytes: Uint8Array, date: Date (the file's time; now
// when absent) }] -> Uint8Array of a zip archive.
export function makeZip(files) {
  const parts = [];
  const central = [];
  let offset = 0;
  const encoder = new TextEncoder();
  for (const file of files) {
    const name = encoder.encode(file.name);
    const crc = crc32(file.bytes);
    const when = dosDateTime(file.date && !Number.isNaN(file.date.getTime()) ? file.date : new Date());
    const local = new DataView(new ArrayBuffer(30));
    local.setUint32(0, 0x04034b50, true);
    local.setUint16(4, 20, true);
    local.setUint16(10, when.time, true);
    local.setUint16(12, when.date, true);
    local.setUint32(14, crc, true);
    local.setUint32(18, file.bytes.length, true);
    local.setUint32(22, file.bytes.length, true);
    local.setUint16(26, name.length, true);
    const entry = new DataView(new ArrayBuffer(46));
    entry.setUint32(0, 0x02014b50, true);
    entry.setUint16(4, 20, true);
    entry.setUint16(6, 20, true);
    entry.setUint16(12, when.time, true);
    entry.setUint16(14, when.date, true);
    entry.setUint32(16, crc, true);
    entry.setUint32(20, file.bytes.length, true);
    entry.setUint32(24, file.bytes.length, true);
    entry.setUint16(28, name.length, true);
    entry.setUint32(42, offset, true);
    parts.push(new Uint8Array(local.buffer), name, file.bytes);
    central.push(new Uint8Array(entry.buffer), name);
    offset += 30 + name.length + file.bytes.length;
  }
  const centralSize = central.reduce((n, part) => n + part.length, 0);
  const end = new DataView(new ArrayBuffer(22));
  end.setUint32(0, 0x06054b50, true);
  end.setUint16(8, files.length, true);
  end.setUint16(10, files.length, true);
  end.setUint32(12, centralSize, true);
  end.setUint32(16, offset, true);
  return joined([...parts, ...central, new Uint8Array(end.buffer)]);
}

// Byte arrays one after the other, in one array.
export function joined(parts) {
  const out = new Uint8Array(parts.reduce((n, part) => n + part.length, 0));
  let at = 0;
  for (const part of parts) {
    out.set(part, at);
    at += part.length;
  }
  return out;
}

// An error the page tells the player in its own words (texts.js).
function zipError(code) {
  const error = new Error(code);
  error.code = code;
  return error;
}

// The first limit bytes (or fewer) of a deflated entry (a Blob, read as it
// is unpacked): the unpacking stops there, whatever size the archive claims.
async function inflatePrefix(packed, limit) {
  const stream = packed.stream().pipeThrough(new DecompressionStream('deflate-raw'));
  const reader = stream.getReader();
  const parts = [];
  let size = 0;
  try {
    while (size < limit) {
      const { done, value } = await reader.read();
      if (done) break;
      parts.push(value.subarray(0, limit - size));
      size += Math.min(value.length, limit - size);
    }
  } catch (error) {
    throw zipError('damagedZip');
  } finally {
    reader.cancel().catch(() => {});
  }
  return joined(parts);
}

// The bytes from start to end of a Blob (a chosen file) or a Uint8Array.
async function slice(source, start, end) {
  if (source instanceof Uint8Array) return source.subarray(start, Math.min(end, source.length));
  return new Uint8Array(await source.slice(start, end).arrayBuffer());
}
const sizeOf = (source) => (source instanceof Uint8Array ? source.length : source.size);

// An entry's file name without its folders, which zip tools write with
// slashes or (some on Windows) backslashes.
export const entryName = (name) => name.replace(/^.*[/\\]/, '');

// The files of a zip archive (a Blob or a Uint8Array) that limitFor wants,
// by name: limitFor(name) is how many bytes of that entry to read, 0 for
// an entry not wanted. Only the archive's end, its central directory and
// the beginnings of the wanted entries are read.
export async function readZip(source, limitFor = () => Infinity) {
  const total = sizeOf(source);
  const tailStart = Math.max(0, total - 22 - 65535);
  const tail = await slice(source, tailStart, total);
  const tailView = new DataView(tail.buffer, tail.byteOffset, tail.byteLength);
  let end = -1;
  for (let i = tail.length - 22; i >= 0; i--) {
    if (tailView.getUint32(i, true) === 0x06054b50) {
      end = i;
      break;
    }
  }
  if (end < 0) throw zipError('notZip');
  const count = tailView.getUint16(end + 10, true);
  const directorySize = tailView.getUint32(end + 12, true);
  const directoryStart = tailView.getUint32(end + 16, true);
  if (directoryStart + directorySize > total) throw zipError('damagedZip');
  const directory = await slice(source, directoryStart, directoryStart + directorySize);
  const view = new DataView(directory.buffer, directory.byteOffset, directory.byteLength);
  const files = new Map();
  const decoder = new TextDecoder();
  let at = 0;
  for (let i = 0; i < count; i++) {
    if (at + 46 > directory.length || view.getUint32(at, true) !== 0x02014b50)
      throw zipError('damagedZip');
    const method = view.getUint16(at + 10, true);
    const packedSize = view.getUint32(at + 20, true);
    const nameLength = view.getUint16(at + 28, true);
    const extra = view.getUint16(at + 30, true) + view.getUint16(at + 32, true);
    const local = view.getUint32(at + 42, true);
    const name = decoder.decode(directory.subarray(at + 46, at + 46 + nameLength));
    at += 46 + nameLength + extra;
    const limit = limitFor(name);
    if (!limit) continue;
    if (local + 30 > total) throw zipError('damagedZip');
    const header = await slice(source, local, local + 30);
    const headerView = new DataView(header.buffer, header.byteOffset, header.byteLength);
    if (headerView.getUint32(0, true) !== 0x04034b50) throw zipError('damagedZip');
    const start = local + 30 + headerView.getUint16(26, true) + headerView.getUint16(28, true);
    if (start + packedSize > total) throw zipError('damagedZip');
    if (method === 0) {
      files.set(name, (await slice(source, start, start + Math.min(packedSize, limit))).slice());
    } else if (method === 8) {
      const packed = source instanceof Uint8Array ? new Blob([source.subarray(start, start + packedSize)])
        : source.slice(start, start + packedSize);
      files.set(name, await inflatePrefix(packed, limit));
    } else {
      throw zipError('unknownPacking');
    }
  }
  return files;
}
