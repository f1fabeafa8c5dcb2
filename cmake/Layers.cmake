# The layers of the code base, lowest first. Each entry maps a path prefix (relative to the
# source root) to a layer name and its rank; the first entry that matches a file decides its
# layer, so more specific prefixes come first. A file may include headers of its own layer
# and of layers of a lower rank, never of the same rank in another layer or of a higher one.
# Folders outside this map (tests, tools, bench, data) sit above every layer and are not
# checked. Layers marked qt-free refuse Qt headers as well.
set(XB_LAYER_MAP
  "engine/text/=text:0:qt-free"
  "app/texts/=texts:1:"
  "engine/platform/=platform:1:qt-free"
  "engine/tableexpr/=tableexpr:4:qt-free"
  "engine/handler/=handler:6:qt-free"
  "engine/dBHandler.=handler:6:qt-free"
  "engine/=engine:2:qt-free"
  "index/expr/=expr:3:qt-free"
  "index/=index:5:qt-free"
  "dataset/=dataset:7:qt-free"
  "controls/=controls:8:"
  "app/=program:9:")

# The folders whose files the check reads.
set(XB_LAYER_ROOTS engine index dataset controls app)
