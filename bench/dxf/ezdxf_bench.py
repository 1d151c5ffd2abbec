#!/usr/bin/python3
"""Times ezdxf reading a DXF file and writing it back; prints 'ezdxf_read_s', 'ezdxf_write_s'
and 'ezdxf_peak_rss_mb' lines for the benchmark report.

Usage: /usr/bin/python3 ezdxf_bench.py INPUT.dxf OUTPUT.dxf
"""
import resource
import sys
import time

import ezdxf

start = time.perf_counter()
doc = ezdxf.readfile(sys.argv[1])
read_s = time.perf_counter() - start
start = time.perf_counter()
doc.saveas(sys.argv[2])
write_s = time.perf_counter() - start
print(f"ezdxf_read_s {read_s:.3f}")
print(f"ezdxf_write_s {write_s:.3f}")
print(f"ezdxf_peak_rss_mb {resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024:.1f}")
