// Small Mot files (Motorola S-records) for the designer mode: a few blocks of region 1, the
// identity area with the version label and the region-2 label, as the image checks want them.
const REGION1_FIRST = 0x08010000;
const IDENTITY_AREA = 0x080dff00;
const LABEL_AREA = 0x0800bf00;
const AREA_BYTES = 64;
const LABEL_OFFSET = 48;
const MODEL_IDENTITY = 'QV-9051/9052V2 MERIDANTEX LMR BI';

function record(type, address, data) {
  const bytes = [data.length + 5, address >>> 24, (address >>> 16) & 0xff, (address >>> 8) & 0xff,
    address & 0xff, ...data];
  const sum = bytes.reduce((a, b) => a + b, 0);
  const hex = [...bytes, ~sum & 0xff].map((b) => b.toString(16).toUpperCase().padStart(2, '0'));
  return `S${type}${hex.join('')}`;
}

function records(address, data) {
  const out = [];
  for (let at = 0; at < data.length; at += 32) {
    out.push(record(3, address + at, [...data.subarray(at, at + 32)]));
  }
  return out;
}

function area(head, tail) {
  const bytes = new Uint8Array(AREA_BYTES);
  bytes.set(Buffer.from(head, 'latin1'));
  bytes.set(Buffer.from(tail, 'latin1'), LABEL_OFFSET);
  return bytes;
}

export function region1Data(bytes) {
  const data = new Uint8Array(bytes);
  for (let i = 0; i < bytes; ++i) {
    data[i] = (i * 7 + 3) & 0xff;
  }
  return data;
}

// The file's text and the flash region 1 must hold after it is written (erased flash is 0xFF).
export function motFile({ version = 'TEST-2.1', bytes = 1024 } = {}) {
  const data = region1Data(bytes);
  const identity = area(MODEL_IDENTITY, version);
  const text = [
    'S0030000FC',
    ...records(LABEL_AREA, area('', 'REGION-2 LABEL..')),
    ...records(REGION1_FIRST, data),
    ...records(IDENTITY_AREA, identity),
    'S70508010000F1',
  ].join('\n');
  const flash = Buffer.alloc(0xd0000, 0xff);
  flash.set(data, 0);
  flash.set(identity, IDENTITY_AREA - REGION1_FIRST);
  return { text: `${text}\n`, flash };
}
