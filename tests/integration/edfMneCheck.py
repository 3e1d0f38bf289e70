# Reads an EDF+ file with MNE-Python and compares it with what was exported:
# argv: the .edf, a file of the expected physical values (float64, channel
# after channel), the channel names separated by commas, the start
# "YYYY-MM-DD HH:MM:SS", and the expected annotations "onset:text;...".
# Prints "ok" or what differs.
import sys

import mne
import numpy as np

edf, expected_path, names, start, notes = sys.argv[1:6]
raw = mne.io.read_raw_edf(edf, preload=True, verbose="error")
problems = []
names = names.split(",")
if raw.ch_names != names:
    problems.append(f"channels {raw.ch_names} != {names}")
if raw.info["sfreq"] != 200.0:
    problems.append(f"sampling rate {raw.info['sfreq']}")
if raw.info["meas_date"].strftime("%Y-%m-%d %H:%M:%S") != start:
    problems.append(f"start {raw.info['meas_date']} != {start}")
expected = np.fromfile(expected_path, dtype=np.float64).reshape(len(names), -1)
got = raw.get_data()[:, : expected.shape[1]] * 1e6
if got.shape != expected.shape:
    problems.append(f"shape {got.shape} != {expected.shape}")
else:
    worst = np.max(np.abs(got - expected))
    # Half a digital step: 0.0625 uV times the largest calibration factor (at most 1.3).
    if worst > 0.0625 * 1.3:
        problems.append(f"samples differ by up to {worst} uV")
if raw.n_times < expected.shape[1]:
    problems.append(f"{raw.n_times} samples, {expected.shape[1]} expected")
found = {(round(float(o), 2), d) for o, d in zip(raw.annotations.onset, raw.annotations.description)}
for item in filter(None, notes.split(";")):
    onset, text = item.split(":", 1)
    if (round(float(onset), 2), text) not in found:
        problems.append(f"annotation {text} at {onset} missing")
print("ok" if not problems else "\n".join(problems))
