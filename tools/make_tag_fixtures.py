#!/usr/bin/env python3
"""Writes the small tagged audio files that tests/core/tags reads: a few frames of silence, or just
the headers a tag needs, for each kind, with titles in the encodings old and new taggers write.
Usage: tools/make_tag_fixtures.py [folder]   (default: tests/core/tags/data)"""

import os
import struct
import sys

SONG = "春の歌"           # UTF-8 and UTF-16 titles
OLD = "序曲"              # Shift-JIS in a field that says Latin-1


def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def id3v2(version, encoding, text):
    """An ID3v2.3 or 2.4 tag with one TIT2 frame; `text` is the field's bytes."""
    body = bytes([encoding]) + text
    size = syncsafe(len(body)) if version == 4 else struct.pack(">I", len(body))
    frame = b"TIT2" + size + b"\0\0" + body
    return b"ID3" + bytes([version, 0, 0]) + syncsafe(len(frame)) + frame


def id3v1(title):
    return b"TAG" + title.ljust(30, b"\0") + b"\0" * 60 + b"\0" * 4 + b"\0" * 30 + b"\xff"


def mpeg_silence(frames=4):
    # MPEG-1 layer III, 32 kbit/s, 48 kHz, stereo: 96 bytes a frame, side information all zero.
    return (b"\xff\xfb\x14\x00" + b"\0" * 92) * frames


def riff(chunks):
    body = b"WAVE"
    for name, data in chunks:
        body += name + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")
    return b"RIFF" + struct.pack("<I", len(body)) + body


def wav(extra):
    fmt = struct.pack("<HHIIHH", 1, 1, 8000, 8000, 1, 8)
    return riff([(b"fmt ", fmt), (b"data", b"\x80" * 8)] + extra)


def info(title):
    return (b"LIST", b"INFO" + b"INAM" + struct.pack("<I", len(title) + 1) + title + b"\0"
            + (b"\0" if (len(title) + 1) % 2 else b""))


def vorbis_comment(title, framing):
    vendor = b"meloport fixtures"
    item = b"TITLE=" + title.encode()
    return (struct.pack("<I", len(vendor)) + vendor + struct.pack("<I", 1) + struct.pack("<I", len(item)) + item
            + (b"\x01" if framing else b""))


def flac(title):
    info = struct.pack(">HH", 4096, 4096) + b"\0" * 6
    # 44100 Hz (20 bits), 1 channel (3 bits: 0), 16 bits (5 bits: 15), no sample count (36 bits).
    info += struct.pack(">Q", (44100 << 44) | (0 << 41) | (15 << 36)) + b"\0" * 16
    comment = vorbis_comment(title, framing=False)
    return (b"fLaC" + bytes([0]) + len(info).to_bytes(3, "big") + info
            + bytes([0x80 | 4]) + len(comment).to_bytes(3, "big") + comment)


def ogg_crc(data):
    crc = 0
    for byte in data:
        crc ^= byte << 24
        for _ in range(8):
            crc = ((crc << 1) ^ 0x04C11DB7) if crc & 0x80000000 else crc << 1
            crc &= 0xFFFFFFFF
    return crc


def ogg(packets_by_page):
    out = b""
    for number, packets in enumerate(packets_by_page):
        lacing = b""
        for packet in packets:
            lacing += b"\xff" * (len(packet) // 255) + bytes([len(packet) % 255])
        flags = (2 if number == 0 else 0) | (4 if number == len(packets_by_page) - 1 else 0)
        header = b"OggS\0" + bytes([flags]) + struct.pack("<qII", 0, 0x4D454C4F, number) + b"\0\0\0\0"
        page = header + bytes([len(lacing)]) + lacing + b"".join(packets)
        out += page[:22] + struct.pack("<I", ogg_crc(page)) + page[26:]
    return out


def vorbis(title):
    ident = b"\x01vorbis" + struct.pack("<IBIiiiBB", 0, 1, 44100, 0, 64000, 0, 0xB8, 1)
    # The last page holds audio: a reader stops at the page that ends the stream.
    return ogg([[ident], [b"\x03vorbis" + vorbis_comment(title, framing=True), b"\x05vorbis\0"], [b"\0"]])


def opus(title):
    head = b"OpusHead" + struct.pack("<BBHIhB", 1, 1, 312, 48000, 0, 0)
    return ogg([[head], [b"OpusTags" + vorbis_comment(title, framing=False)], [b"\xf8\xff\xfe"]])


def atom(name, body):
    return struct.pack(">I", 8 + len(body)) + name + body


def m4a(title):
    data = atom(b"data", struct.pack(">II", 1, 0) + title.encode())
    handler = atom(b"hdlr", b"\0" * 8 + b"mdirappl" + b"\0" * 9)
    meta = atom(b"meta", b"\0" * 4 + handler + atom(b"ilst", atom(b"\xa9nam", data)))
    return atom(b"ftyp", b"M4A \0\0\0\0M4A mp42isom") + atom(b"moov", atom(b"udta", meta))


def guid(text):
    return bytes.fromhex(text)


def asf_object(guid_bytes, body):
    return guid_bytes + struct.pack("<Q", 24 + len(body)) + body


def wma(title):
    file_properties = asf_object(guid("a1dcab8c47a9cf118ee400c00c205365"),
                                 b"\0" * 16 + struct.pack("<QQQQQQIIII", 0, 0, 0, 0, 0, 0, 2, 0, 0, 0))
    waveformat = struct.pack("<HHIIHHH", 0x161, 1, 44100, 4000, 1, 16, 0)
    stream_properties = asf_object(guid("9107dcb7b7a9cf118ee600c00c205365"),
                                   guid("409e69f84d5bcf11a8fd00805f5c442b") + guid("0057fb20555bcf11a8fd00805f5c442b")
                                   + struct.pack("<QIIHI", 0, len(waveformat), 0, 1, 0) + waveformat)
    text = title.encode("utf-16-le") + b"\0\0"
    description = asf_object(guid("3326b2758e66cf11a6d900aa0062ce6c"),
                             struct.pack("<HHHHH", len(text), 0, 0, 0, 0) + text)
    objects = file_properties + stream_properties + description
    return asf_object(guid("3026b2758e66cf11a6d900aa0062ce6c"), struct.pack("<IBB", 3, 1, 2) + objects)


FIXTURES = {
    "utf8-id3v24.mp3": id3v2(4, 3, SONG.encode()) + mpeg_silence(),
    "utf16-id3v23.mp3": id3v2(3, 1, SONG.encode("utf-16")) + mpeg_silence(),
    "sjis-id3v23.mp3": id3v2(3, 0, OLD.encode("cp932")) + mpeg_silence(),
    "sjis-id3v1.mp3": mpeg_silence() + id3v1(OLD.encode("cp932")),
    "latin1-id3v23.mp3": id3v2(3, 0, "Café".encode("latin-1")) + mpeg_silence(),
    "untagged.mp3": mpeg_silence(),
    "linebreak-id3v24.mp3": id3v2(4, 3, "一\n二".encode()) + mpeg_silence(),
    "utf8-info.wav": wav([info(SONG.encode())]),
    "sjis-info.wav": wav([info(OLD.encode("cp932"))]),
    "utf8-id3.wav": wav([(b"id3 ", id3v2(4, 3, SONG.encode()))]),
    "untagged.wav": wav([]),
    "utf8.flac": flac(SONG),
    "utf8.ogg": vorbis(SONG),
    "utf8.opus": opus(SONG),
    "utf8.m4a": m4a(SONG),
    "utf8.wma": wma(SONG),
    "damaged.flac": b"fLaC\x00\x00\x00\x22" + b"\x10" * 12,
    "damaged.m4a": b"not a movie, just text\n",
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "tests", "core",
                                                                  "tags", "data")
    os.makedirs(folder, exist_ok=True)
    for name, data in FIXTURES.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
