#!/usr/bin/env python3
# Reference translation for the job record tests: standard input (ASCII) to
# EBCDIC through Python's own cp037 codec, with the print server's five
# reserved characters and the control characters replaced as the server
# expects. Bytes from 0x80 up are not ASCII and are refused.
import sys

RESERVED = {ord('-'): 0x6D, ord('['): 0x6F, ord(']'): 0x6F, ord('^'): 0x6F, ord('|'): 0xFA}

out = bytearray()
for b in sys.stdin.buffer.read():
    if b in RESERVED:
        out.append(RESERVED[b])
    elif b < 0x20 or b == 0x7F:
        out.append(0x6F)
    else:
        out += chr(b).encode('cp037')
sys.stdout.buffer.write(bytes(out))
