# Reads every EDF+ of a BIDS dataset with MNE-Python and checks it against
# its sidecars: the channel names of channels.tsv in order, their types taken
# by MNE, the sample count (expected in argv[2]), the start on or after 1985,
# and the events.tsv rows as the EDF+ annotations, at the same onsets.
# argv: the dataset folder, the samples each recording holds.
# Prints "ok N" (N files read) or what differs.
import csv
import pathlib
import sys

import mne

dataset, samples = pathlib.Path(sys.argv[1]), int(sys.argv[2])
problems = []
edfs = sorted(dataset.glob("sub-*/ses-*/eeg/*_eeg.edf"))


def rows(path):
    with open(path, newline="") as f:
        return list(csv.DictReader(f, delimiter="\t"))


for edf in edfs:
    stem = str(edf)[: -len("_eeg.edf")]
    raw = mne.io.read_raw_edf(edf, preload=False, verbose="error")
    channels = rows(stem + "_channels.tsv")
    names = [c["name"] for c in channels]
    if raw.ch_names != names:
        problems.append(f"{edf.name}: channels {raw.ch_names} != {names}")
        continue
    raw.set_channel_types({c["name"]: c["type"].lower() for c in channels})
    types = [t.upper() for t in raw.get_channel_types()]
    if types != [c["type"] for c in channels]:
        problems.append(f"{edf.name}: types {types}")
    if raw.n_times != samples:
        problems.append(f"{edf.name}: {raw.n_times} samples, {samples} expected")
    if raw.info["meas_date"].year < 1985:
        problems.append(f"{edf.name}: starts {raw.info['meas_date']}")
    events = {(round(float(e["onset"]), 3), e["trial_type"]) for e in rows(stem + "_events.tsv")}
    notes = {(round(float(o), 3), d) for o, d in zip(raw.annotations.onset, raw.annotations.description)}
    if events != notes:
        problems.append(f"{edf.name}: events {sorted(events)} != annotations {sorted(notes)}")
    found, ids = mne.events_from_annotations(raw, verbose="error")
    if len(found) != len(events):
        problems.append(f"{edf.name}: {len(found)} events from the annotations, {len(events)} in events.tsv")
print(f"ok {len(edfs)}" if not problems else "\n".join(problems))
