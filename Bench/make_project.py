#!/usr/bin/env python3
"""Writes a large project for the command-line host, and the mapping table that maps its IFC names.

    Bench/make_project.py unique N OUT_DIR      N chairs, each with an IFC name of its own ("Type:<n>")
    Bench/make_project.py psets N OUT_DIR       N elements of 40 IFC names, each carrying property sets
                                                as an IFC export gives them (4 sets of 12 values)
    Bench/make_project.py psets-flat N OUT_DIR  the same, each property naming its set, in the longer
                                                form that lists the properties without their sets

OUT_DIR gets project.json and home/Application Data/Skellowing/ObjectMap.xml, so that

    skellow-host run OUT_DIR/project.json --command "Skellow From IFC" --home OUT_DIR/home --out OUT.json

replaces every mapped element. The project is written compactly, as the host writes it.
"""
import json
import math
import os
import sys


def unique_id(n):
    return "{AB100000-0000-4000-8000-%012d}-{AB100000-0000-4000-8000-0000000000A1}" % n


def part(n, name, a, b, material):
    return {"type": 4, "name": name, "fileName": name + ".gsm", "uniqueId": unique_id(n), "size": [a, b],
            "parameters": [{"name": "A", "type": 2, "value": a}, {"name": "B", "type": 2, "value": b},
                           {"name": "ZZYZX", "type": 2, "value": 0.85},
                           {"name": "mat", "type": 12, "value": material}]}


def element_guid(n):
    return "1FC00000-0000-4000-8000-%012d" % n


# Four property sets of twelve values: labels, lengths and areas, counts and flags, as exporters write them.
SETS = [
    ("Pset_FurnitureTypeCommon", [("Reference", "IfcIdentifier", "text"), ("Style", "IfcLabel", "text"),
                                  ("NominalHeight", "IfcPositiveLengthMeasure", "real"),
                                  ("NominalLength", "IfcPositiveLengthMeasure", "real"),
                                  ("NominalDepth", "IfcPositiveLengthMeasure", "real"),
                                  ("MainColour", "IfcLabel", "text"), ("IsBuiltIn", "IfcBoolean", "boolean"),
                                  ("Status", "IfcLabel", "text"), ("Manufacturer", "IfcLabel", "text"),
                                  ("ModelLabel", "IfcLabel", "text"), ("ArticleNumber", "IfcIdentifier", "text"),
                                  ("Count", "IfcCountMeasure", "integer")]),
    ("BaseQuantities", [("Width", "IfcLengthMeasure", "real"), ("Depth", "IfcLengthMeasure", "real"),
                        ("Height", "IfcLengthMeasure", "real"), ("GrossArea", "IfcAreaMeasure", "real"),
                        ("NetArea", "IfcAreaMeasure", "real"), ("GrossVolume", "IfcVolumeMeasure", "real"),
                        ("NetVolume", "IfcVolumeMeasure", "real"), ("Perimeter", "IfcLengthMeasure", "real"),
                        ("GrossWeight", "IfcMassMeasure", "real"), ("NetWeight", "IfcMassMeasure", "real"),
                        ("TopElevation", "IfcLengthMeasure", "real"),
                        ("BottomElevation", "IfcLengthMeasure", "real")]),
    ("Identity Data", [("Type Name", "IfcLabel", "text"), ("Type Mark", "IfcLabel", "text"),
                       ("Mark", "IfcLabel", "text"), ("Description", "IfcText", "text"),
                       ("Assembly Code", "IfcLabel", "text"), ("Keynote", "IfcLabel", "text"),
                       ("Model", "IfcLabel", "text"), ("Manufacturer", "IfcLabel", "text"),
                       ("Type Comments", "IfcText", "text"), ("URL", "IfcLabel", "text"),
                       ("Cost", "IfcReal", "real"), ("OmniClass Number", "IfcLabel", "text")]),
    ("Other", [("Category", "IfcLabel", "text"), ("Family", "IfcLabel", "text"),
               ("Family and Type", "IfcLabel", "text"), ("Level", "IfcLabel", "text"),
               ("Phase Created", "IfcLabel", "text"), ("Phase Demolished", "IfcLabel", "text"),
               ("Offset", "IfcLengthMeasure", "real"), ("Moves With Nearby Elements", "IfcBoolean", "boolean"),
               ("Host Id", "IfcInteger", "integer"), ("Workset", "IfcLabel", "text"),
               ("Edited by", "IfcLabel", "text"), ("Design Option", "IfcLabel", "text")]),
]
PRIMITIVES = {"text": 3, "real": 1, "integer": 0, "boolean": 2}


def property_sets(n, name):
    sets = []
    for set_name, values in SETS:
        properties = []
        for k, (key, ifc_type, field) in enumerate(values):
            value = {"type": ifc_type}
            if PRIMITIVES[field]:
                value["primitive"] = PRIMITIVES[field]
            if field == "text":
                value["text"] = "%s %d-%d" % (name, n % 997, k)
            elif field == "real":
                value["real"] = round(0.25 + (n * 7 + k) % 400 / 100.0, 3)
            elif field == "integer":
                value["integer"] = n % 1000 + k
            else:
                value["boolean"] = (n + k) % 2 == 0
            properties.append({"name": key, "value": value})
        sets.append({"set": set_name, "properties": properties})
    return sets


def project(kind, count):
    root = {"format": "skellow-host project", "version": 1, "name": "%s %d" % (kind, count),
            "storeys": [{"index": 0, "name": "Ground Floor", "level": 0.0, "height": 3.0},
                        {"index": 1, "name": "First Floor", "level": 3.0, "height": 3.2}],
            "layers": [{"index": 1, "name": "ArchiCAD Layer"}, {"index": 2, "name": "Furniture"}],
            "library": {"parts": [part(1, "IFC Object", 1.0, 1.0, "Generic"),
                                  part(2, "Chair Modern", 0.5, 0.55, "Ash")]},
            "elements": [], "ifc": {"elements": []}}
    names = set()
    for n in range(1, count + 1):
        name = "Type:%d" % n if kind == "unique" else "Type:%d" % (n % 40)
        names.add(name)
        guid = element_guid(n)
        root["elements"].append({
            "guid": guid, "type": 6, "storey": n % 2, "layer": 2, "drawOrder": 3, "libraryIndex": 1,
            "position": [round((n % 300) * 1.5, 3), round((n // 300) * 1.5, 3)],
            "angle": math.radians((n * 15) % 360), "size": [1.0, 1.0],
            "memo": {"info": "%d" % n,
                     "parameters": [{"name": "A", "type": 2, "value": 1.0}, {"name": "B", "type": 2, "value": 1.0},
                                    {"name": "ZZYZX", "type": 2, "value": 0.9},
                                    {"name": "mat", "type": 12, "value": "Imported"},
                                    {"name": "gs_ifc_buildingmaterial1", "type": 12, "value": "Timber"}]}})
        data = {"guid": guid, "attributes": [
            {"name": "Name", "type": "IfcLabel", "value": name},
            {"name": "GlobalId", "type": "IfcGloballyUniqueId", "value": "0Bu%019d" % n}]}
        if kind == "psets":
            data["propertySets"] = property_sets(n, name)
        elif kind == "psets-flat":
            data["properties"] = [dict(set=s["set"], **p) for s in property_sets(n, name) for p in s["properties"]]
        root["ifc"]["elements"].append(data)
    return root, sorted(names)


def table(names):
    rows = ["<?xml version=\"1.0\" encoding=\"UTF-8\" ?>", "<objectMap>",
            "\t<specificationList sourceName=\"Default\" objectType=\"IFC\">"]
    for name in names:
        rows += ["\t\t<objectSpecification>", "\t\t\t<originalName>%s</originalName>" % name,
                 "\t\t\t<mappedName>Chair Modern</mappedName>", "\t\t\t<mappedObjectGuid></mappedObjectGuid>",
                 "\t\t</objectSpecification>"]
    rows += ["\t</specificationList>", "</objectMap>", ""]
    return "\n".join(rows)


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("unique", "psets", "psets-flat"):
        sys.exit(__doc__)
    kind, count, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    root, names = project(kind, count)
    folder = os.path.join(out, "home", "Application Data", "Skellowing")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(out, "project.json"), "w") as f:
        json.dump(root, f, separators=(",", ":"))
    with open(os.path.join(folder, "ObjectMap.xml"), "w") as f:
        f.write(table(names))


if __name__ == "__main__":
    main()
